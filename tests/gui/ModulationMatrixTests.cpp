#include "SkinTestSupport.h"
#include "WindowsTestSupport.h"

#include "GFXWidgetFactory.h"
#include "ModulationMatrixComponent.h"

#include <gtest/gtest.h>

namespace
{
    using MatrixRow = ModulationMatrixModel::Row;

    /** Writes what the model tells, one line per call. */
    struct Log  : public ModulationMatrixModel::Listener
    {
        static juce::String text (const MatrixRow& r)
        {
            return juce::String (r.source) + "/" + juce::String (r.destination) + "/" + juce::String (r.amount);
        }

        void rowAdded (ModulationMatrixModel&, const MatrixRow& r) override     { lines.add ("added " + text (r)); }
        void rowRemoved (ModulationMatrixModel&, const MatrixRow& r) override   { lines.add ("removed " + text (r)); }
        void rowChanged (ModulationMatrixModel&, const MatrixRow& o, const MatrixRow& n) override
        {
            lines.add ("changed " + text (o) + " " + text (n));
        }

        juce::StringArray lines;
    };

    ModulationMatrixModel& fill (ModulationMatrixModel& model, std::initializer_list<MatrixRow> rows)
    {
        for (const auto& r : rows)
        {
            model.addRow();
            model.setRow (model.getNumRows() - 1, r);
        }

        return model;
    }

    /** The amounts of the listed rows, which the tests use to tell rows apart. */
    juce::String amounts (const juce::Array<const MatrixRow*>& rows)
    {
        juce::StringArray texts;

        for (auto* r : rows)
            texts.add (juce::String (r->amount));

        return texts.joinIntoString (" ");
    }

    juce::String listOf (const juce::Array<int>& numbers)
    {
        juce::StringArray texts;

        for (auto n : numbers)
            texts.add (juce::String (n));

        return texts.joinIntoString (" ");
    }

    juce::String amounts (ModulationMatrixComponent& matrix)
    {
        juce::StringArray texts;

        for (int i = 0; i < matrix.getNumRows(); ++i)
            texts.add (juce::String (matrix.getRow (i)->getRowData().amount));

        return texts.joinIntoString (" ");
    }

    struct CtrlHeld
    {
        explicit CtrlHeld (bool held)
        {
            juce::ModifierKeys::currentModifiers = held ? juce::ModifierKeys (juce::ModifierKeys::ctrlModifier)
                                                        : juce::ModifierKeys();
        }

        ~CtrlHeld()     { juce::ModifierKeys::currentModifiers = {}; }
    };

    using ModulationMatrixSkinTest = SkinTest::Fixture;
}

TEST (ModulationMatrixModelTest, IndexesRowsWithASourceAndADestinationByCategory)
{
    ModulationMatrixModel model;
    fill (model, { { 0, 7, 0.1f }, { 3, 2, 0.2f }, { 0, 7, 0.3f }, { 5, 4, 0.4f }, { 4, 2, 0.5f },
                   { -1, -1, 0.6f }, { 2, -1, 0.7f }, { 9, 1, 0.8f }, { 0, 4, 0.9f } });

    const juce::ScopedLock sl (model.getLock());
    EXPECT_EQ (amounts (model.getRowsOfSource (0)), "0.1 0.3 0.9");
    EXPECT_EQ (listOf (model.getDestinationsOfSource (0)), "7 4");
    EXPECT_EQ (amounts (model.getRowsOfSource (2)), "");
    EXPECT_EQ (listOf (model.getContinuousDestinations()), "7 4");
    EXPECT_EQ (listOf (model.getNoteDestinations()), "2");

    struct Case { int destination; const char* continuous; const char* note; };
    const Case cases[] = { { 7, "0.1 0.3", "" }, { 4, "0.4 0.9", "" }, { 2, "", "0.2 0.5" }, { 1, "", "" } };

    for (const auto& c : cases)
    {
        EXPECT_EQ (amounts (model.getContinuousRowsOfDestination (c.destination)), c.continuous) << c.destination;
        EXPECT_EQ (amounts (model.getNoteRowsOfDestination (c.destination)), c.note) << c.destination;
    }
}

TEST (ModulationMatrixModelTest, TellsListenersOfAddsRemovalsAndChangesButNotOfMoves)
{
    struct Case
    {
        const char* name;
        std::function<void (ModulationMatrixModel&)> operation;
        juce::StringArray expected;
        const char* sourceZeroRows;
    };

    const Case cases[] =
    {
        { "add", [] (auto& m) { m.addRow(); }, { "added -1/-1/0" }, "0.5 0.25" },
        { "remove", [] (auto& m) { m.removeRow (0); }, { "removed 0/1/0.5" }, "0.25" },
        { "remove past the end", [] (auto& m) { m.removeRow (2); }, {}, "0.5 0.25" },
        { "set past the end", [] (auto& m) { m.setRow (2, { 0, 1, 1.0f }); }, {}, "0.5 0.25" },
        { "same row", [] (auto& m) { m.setRow (0, { 0, 1, 0.5f }); }, {}, "0.5 0.25" },
        { "amount", [] (auto& m) { m.setRow (1, { 0, 2, -2.0f }); }, { "changed 0/2/0.25 0/2/-1" }, "0.5 -1" },
        { "source", [] (auto& m) { m.setRow (0, { 3, 1, 0.5f }); }, { "changed 0/1/0.5 3/1/0.5" }, "0.25" },
        { "move", [] (auto& m) { m.moveRow (1, 0); }, {}, "0.5 0.25" },
        { "move to the end", [] (auto& m) { m.moveRow (0, 9); }, {}, "0.5 0.25" },
    };

    for (const auto& c : cases)
    {
        ModulationMatrixModel model;
        fill (model, { { 0, 1, 0.5f }, { 0, 2, 0.25f } });
        Log log;
        model.addListener (&log);

        c.operation (model);

        EXPECT_EQ (log.lines, c.expected) << c.name;
        const juce::ScopedLock sl (model.getLock());
        EXPECT_EQ (amounts (model.getRowsOfSource (0)), c.sourceZeroRows) << c.name;
    }

    ModulationMatrixModel model;
    fill (model, { { 0, 1, 0.5f }, { 0, 2, 0.25f } });
    model.moveRow (0, 9);
    EXPECT_EQ (model.getRow (1).amount, 0.5f);
}

TEST (ModulationMatrixComponentTest, ButtonsAddDeleteAndMoveRowsOrTheSelection)
{
    WindowsTest::LookAndFeelScope scope;
    using B = ModulationMatrixComponent;

    struct Case
    {
        int selected;
        B::ButtonId button;
        bool ctrl;
        const char* rows;
        int selectedAfter;
    };

    // The rows start as 0.1 0.2 0.3.
    const Case cases[] =
    {
        { -1, B::moveDownButton, false, "0.1 0.2 0.3", 0 },
        { -1, B::moveUpButton, false, "0.1 0.2 0.3", -1 },
        { 2, B::moveDownButton, false, "0.1 0.2 0.3", 2 },
        { 1, B::moveUpButton, false, "0.1 0.2 0.3", 0 },
        { 1, B::moveUpButton, true, "0.2 0.1 0.3", 0 },
        { 1, B::moveDownButton, true, "0.1 0.3 0.2", 2 },
        { 0, B::moveUpButton, true, "0.1 0.2 0.3", 0 },
        { 2, B::moveDownButton, true, "0.1 0.2 0.3", 2 },
        { -1, B::moveDownButton, true, "0.1 0.2 0.3", -1 },
        { 1, B::deleteRowButton, false, "0.1 0.3", 1 },
        { 2, B::deleteRowButton, false, "0.1 0.2", 1 },
        { -1, B::deleteRowButton, false, "0.1 0.2 0.3", -1 },
        { 1, B::addRowButton, false, "0.1 0.2 0.3 0", 1 },
    };

    for (const auto& withModel : { false, true })
    {
        for (const auto& c : cases)
        {
            ModulationMatrixModel model;
            fill (model, { { 0, 1, 0.1f }, { 1, 2, 0.2f }, { 2, 3, 0.3f } });
            ModulationMatrixComponent matrix ("Matrix");
            matrix.setSize (960, 300);

            if (withModel)
                matrix.setModel (&model);
            else
                for (int i = 0; i < model.getNumRows(); ++i)
                {
                    matrix.buttonClicked (&matrix.getButton (B::addRowButton));
                    matrix.getRow (i)->setRowData (model.getRow (i));
                }

            matrix.selectRow (c.selected);
            CtrlHeld ctrl (c.ctrl);
            matrix.buttonClicked (&matrix.getButton (c.button));

            const auto name = juce::String (c.selected) + " " + matrix.getButton (c.button).getName()
                              + (c.ctrl ? " ctrl" : "") + (withModel ? " model" : "");
            EXPECT_EQ (amounts (matrix), c.rows) << name;
            EXPECT_EQ (matrix.getSelectedRow(), c.selectedAfter) << name;

            for (int i = 0; i < matrix.getNumRows(); ++i)
            {
                EXPECT_EQ (matrix.getRow (i)->isSelected(), i == c.selectedAfter) << name;
                EXPECT_EQ (matrix.getRow (i)->getBounds(), juce::Rectangle<int> (0, 37 * i, 929, 37)) << name;
            }

            if (withModel)
            {
                juce::StringArray modelAmounts;

                for (int i = 0; i < model.getNumRows(); ++i)
                    modelAmounts.add (juce::String (model.getRow (i).amount));

                EXPECT_EQ (modelAmounts.joinIntoString (" "), c.rows) << name;
            }
        }
    }
}

TEST (ModulationMatrixComponentTest, RowsShowAmountsMenusAndSelectionAndWriteEditsToTheModel)
{
    WindowsTest::LookAndFeelScope scope;
    ModulationMatrixModel model;
    ModulationMatrixComponent matrix ("Matrix");
    matrix.getDestinationMenu (0).addItem (5, "Delay Time");
    matrix.getDestinationMenu (3).addItem (5, "Cutoff");
    matrix.setSize (960, 300);
    matrix.setModel (&model);

    matrix.buttonClicked (&matrix.getButton (ModulationMatrixComponent::addRowButton));
    auto* row = matrix.getRow (0);
    ASSERT_NE (row, nullptr);
    EXPECT_EQ (row->sourceBox.getText(), "---");
    EXPECT_EQ (row->destinationBox.getText(), "---");

    // Too few rows to fill the table: the content still covers the visible area.
    EXPECT_EQ (matrix.getHeight() - 34 - 8 - 21, row->getParentComponent()->getHeight());

    struct Case { int source; int destination; double amount; const char* sourceText; const char* destinationText; const char* amountText; };
    const Case cases[] = { { 0, 5, 0.25, "Modulation", "Delay Time", "+0.2500" },
                           { 3, 5, -0.25, "Velocity", "Cutoff", "-0.2500" },
                           { 4, 5, 0.0, "Pitch", "---", "0.0000" },
                           { 3, 5, -1.0, "Velocity", "Cutoff", "-1.0000" } };

    for (const auto& c : cases)
    {
        row->sourceBox.setSelectedId (c.source, true);
        row->destinationBox.setSelectedId (c.destination, true);
        row->amountSlider.setValue (c.amount, juce::sendNotificationSync);

        EXPECT_EQ (row->sourceBox.getText(), c.sourceText);
        EXPECT_EQ (row->destinationBox.getText(), c.destinationText);
        EXPECT_EQ (row->amountText.getText(), c.amountText);

        const auto stored = model.getRow (0);
        EXPECT_EQ (stored.source, c.source);
        EXPECT_EQ (stored.destination, c.destination);
        EXPECT_FLOAT_EQ (stored.amount, (float) c.amount);
    }

    // A press on a row (or on one of its boxes) selects it; one beside the rows clears it.
    matrix.buttonClicked (&matrix.getButton (ModulationMatrixComponent::addRowButton));
    matrix.getRow (1)->mouseDown (SkinTest::mouseEvent (matrix.getRow (1)->destinationBox, { 2.0f, 2.0f }));
    EXPECT_EQ (matrix.getSelectedRow(), 1);
    matrix.mouseDown (SkinTest::mouseEvent (matrix, { 2.0f, 2.0f }));
    EXPECT_EQ (matrix.getSelectedRow(), -1);

    // The live level reaches the rows of that source; the model's rows replace the shown ones.
    model.setSourceValue (3, -0.5f);
    matrix.changeListenerCallback (&model.valuesChanged);
    EXPECT_FLOAT_EQ (matrix.getRow (0)->amountSlider.getModulationLevel(), -0.5f);

    model.removeRow (0);
    matrix.changeListenerCallback (&model.rowsChanged);
    EXPECT_EQ (matrix.getNumRows(), 1);

    for (int i = 0; i < 12; ++i)
        matrix.buttonClicked (&matrix.getButton (ModulationMatrixComponent::addRowButton));

    EXPECT_EQ (matrix.getRow (0)->getParentComponent()->getHeight(), 13 * 37);

    matrix.getRow (1)->setRowData ({ 0, 5, 0.5f });
    matrix.selectRow (2);
}

TEST (ModulationMatrixComponentTest, AmountHeadingIsCentredOverTheAmountColumnAtAnyWidth)
{
    WindowsTest::LookAndFeelScope scope;

    for (auto width : { 960, 500 })
    {
        ModulationMatrixComponent matrix ("Matrix");
        matrix.setSize (width, 200);
        const auto image = matrix.createComponentSnapshot (matrix.getLocalBounds());

        // The heading's white text, right of the destination column.
        juce::Range<int> text;

        for (int y = 38; y < 52; ++y)
            for (int x = 8 + 318; x < width - 8; ++x)
                if (image.getPixelAt (x, y).getBrightness() > 0.9f)
                    text = text.isEmpty() ? juce::Range<int> (x, x + 1) : text.getUnionWith ({ x, x + 1 });

        ASSERT_FALSE (text.isEmpty()) << width;
        EXPECT_NEAR ((text.getStart() + text.getEnd()) / 2, 8 + (318 + width - 16) / 2, 2) << width;
    }
}

TEST_F (ModulationMatrixSkinTest, ModulationMatrixTakesItsSizeAndPlaceFromTheSkin)
{
    WindowsTest::LookAndFeelScope scope;

    struct Case { const char* children; juce::Rectangle<int> bounds; };
    const Case cases[] = { { "<Size width=\"960\" height=\"250\"/><POS left=\"10\" top=\"20\"/>", { 10, 20, 960, 250 } },
                           { "", { 0, 0, 400, 200 } },
                           { "<size width=\"500\"/>", { 0, 0, 500, 0 } },
                           { "<size width=\"2147483000\" height=\"-5\"/><pos left=\"-2147483000\" top=\"2147483000\"/>",
                             { -16384, 16384, 16384, 0 } } };

    SkinSource source (*this, {});

    for (const auto& c : cases)
    {
        auto widget = GFXWidgetFactory::getInstance().createWidget ("modulationMATRIX", "Matrix", source);
        auto* matrix = dynamic_cast<ModulationMatrixComponent*> (widget.get());
        ASSERT_NE (matrix, nullptr);

        const auto element = juce::parseXML (juce::String ("<modulationMatrix>") + c.children + "</modulationMatrix>");
        matrix->loadFromXml (element.get(), &source);
        EXPECT_EQ (matrix->getName(), "Matrix");
        EXPECT_EQ (matrix->getBounds(), c.bounds) << c.children;
    }
}
