#include <ResourceLoading.h>
#include <WindowsResources.h>

#include <CorvaneBinaryData.h>

#include <gtest/gtest.h>

namespace
{
    /** Makes a table of our own the current module for the life of the guard. */
    struct ScopedModule
    {
        explicit ScopedModule (const win32::ResourceTable& table)  { win32::setCurrentModuleInstanceHandle (&table); }
        ~ScopedModule()                                            { win32::setCurrentModuleInstanceHandle (nullptr); }
    };

    juce::MemoryBlock pngOfSize (int width, int height)
    {
        juce::Image image (juce::Image::ARGB, width, height, true);
        image.setPixelAt (1, 1, juce::Colours::red);

        juce::MemoryOutputStream out;
        juce::PNGImageFormat().writeImageToStream (image, out);
        return out.getMemoryBlock();
    }
}

TEST (ResourceTable, FileNamesSplitAtTheLastPoint)
{
    const char data[] = "abc";
    win32::ResourceTable table;
    table.addFile ("skin.v2.xml", data, 3);
    table.addFile ("default.cvhpmap", data, 3);
    table.addFile ("noextension", data, 3);

    auto* skin = table.find ("Skin.V2", "xml");
    ASSERT_NE (skin, nullptr);
    EXPECT_EQ (skin->name, "SKIN.V2");
    EXPECT_EQ (skin->type, "XML");
    EXPECT_EQ (table.find ("skin", "v2.xml"), nullptr);

    EXPECT_NE (table.find ("DEFAULT", "CvHpMap"), nullptr);
    EXPECT_EQ (table.find ("noextension", ""), nullptr);
    EXPECT_EQ (table.find ("", ""), nullptr);
}

TEST (ResourceLoading, EmbeddedResourcesAreFoundIgnoringCase)
{
    const auto data = loadResourceData ("parameters.xml");
    ASSERT_NE (data, nullptr);
    EXPECT_EQ ((int) data->getSize(), CorvaneBinaryData::parameters_xmlSize);
    EXPECT_EQ (0, memcmp (data->getData(), CorvaneBinaryData::parameters_xml, data->getSize()));

    const auto upper = loadResourceData ("PARAMETERS.XML");
    ASSERT_NE (upper, nullptr);
    EXPECT_EQ (*upper, *data);

    EXPECT_EQ (loadXmlFromResource ("Events.Xml"), loadXmlFromResource ("events.xml"));
    EXPECT_TRUE (loadXmlFromResource ("events.xml").startsWith ("<?xml"));

    const auto map = juce::XmlDocument::parse (loadXmlFromResource ("default.cvhpmap"));
    ASSERT_NE (map, nullptr);
    EXPECT_EQ (map->getTagName(), "HostParametersMap");
    EXPECT_EQ (map->getStringAttribute ("name"), "Corvane");
    EXPECT_EQ (map->getNumChildElements(), 128);
}

TEST (ResourceLoading, MissingResourcesGiveNothing)
{
    EXPECT_EQ (loadResourceData ("missing.xml"), nullptr);
    EXPECT_EQ (loadResourceData ("parameters.png"), nullptr);
    EXPECT_EQ (loadResourceData ("parameters"), nullptr);
    EXPECT_EQ (loadResourceData (".xml"), nullptr);
    EXPECT_EQ (loadResourceData (""), nullptr);
    EXPECT_TRUE (loadXmlFromResource ("missing.xml").isEmpty());
    EXPECT_FALSE (loadImageFromResource ("missing.png").isValid());
}

TEST (ResourceLoading, EmptyResourcesAndUndecodableImagesFail)
{
    const char text[] = "<a/>";
    const auto png = pngOfSize (4, 3);

    win32::ResourceTable table;
    table.addFile ("empty.xml", text, 0);
    table.addFile ("doc.xml", text, 4);
    table.addFile ("Logo.PNG", png.getData(), png.getSize());
    table.addFile ("broken.png", text, 4);
    const ScopedModule module (table);

    EXPECT_EQ (loadResourceData ("empty.xml"), nullptr);
    EXPECT_TRUE (loadXmlFromResource ("empty.xml").isEmpty());
    EXPECT_EQ (loadXmlFromResource ("DOC.xml"), "<a/>");

    const auto logo = loadImageFromResource ("logo.png");
    ASSERT_TRUE (logo.isValid());
    EXPECT_EQ (logo.getWidth(), 4);
    EXPECT_EQ (logo.getHeight(), 3);
    EXPECT_EQ (logo.getPixelAt (1, 1), juce::Colours::red);

    EXPECT_FALSE (loadImageFromResource ("broken.png").isValid());
    EXPECT_EQ (loadResourceData ("parameters.xml"), nullptr);
}

TEST (ResourceLoading, ResourceCallsOnNullArguments)
{
    EXPECT_EQ (win32::FindResourceA (nullptr, nullptr, "XML"), nullptr);
    EXPECT_EQ (win32::SizeofResource (nullptr, nullptr), 0u);
    EXPECT_EQ (win32::LoadResource (nullptr, nullptr), nullptr);
    EXPECT_EQ (win32::LockResource (nullptr), nullptr);

    // A null module is the module's own table.
    EXPECT_NE (win32::FindResourceA (nullptr, "events", "xml"), nullptr);
}
