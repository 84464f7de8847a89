#include "DefaultResourceCheckBox.h"

DefaultResourceCheckBox::DefaultResourceCheckBox()
{
    checkBox.setTopLeftPosition (0, 0);
    checkBox.addListener (this);
    pathField.addListener (this);
    addAndMakeVisible (pathField);
    addAndMakeVisible (checkBox);
    updateState();
}

DefaultResourceCheckBox::~DefaultResourceCheckBox()
{
    pathField.removeListener (this);
    checkBox.removeListener (this);
}

void DefaultResourceCheckBox::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void DefaultResourceCheckBox::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void DefaultResourceCheckBox::updateState()
{
    pathField.setEnabled (checkBox.getToggleState());
}

void DefaultResourceCheckBox::resized()
{
    checkBox.changeWidthToFitText (getHeight());
    auto boxWidth = checkBox.getWidth();
    pathField.setBounds (boxWidth + 6, 0, getWidth() - boxWidth - 6, getHeight());
}

void DefaultResourceCheckBox::lookAndFeelChanged()
{
    resized();
}

void DefaultResourceCheckBox::buttonClicked (juce::Button*)
{
    updateState();
    notifyListeners();
}

void DefaultResourceCheckBox::pathChanged (PathComponent*)
{
    notifyListeners();
}

void DefaultResourceCheckBox::notifyListeners()
{
    for (int i = listeners.size(); --i >= 0;)
        if (i < listeners.size())
            listeners.getUnchecked (i)->stateChanged (this);
}
