#include "FuzzedProduct.h"

#include "ApplicationDataFolders.h"
#include "DisplayAccess.h"

FuzzedProduct& FuzzedProduct::get()
{
    static FuzzedProduct product;
    return product;
}

FuzzedProduct::FuzzedProduct()
    : root (juce::File::createTempFile ("corvane-fuzz"))
{
    // The product's editor is made with it, and shows nothing here.
    DisplayAccess::forbid();
    root.createDirectory();
    ApplicationDataFolders::setRoot (root);
    processor.reset (dynamic_cast<Corvane*> (BasePlugin::createPlugin<Corvane>()));
}

FuzzedProduct::~FuzzedProduct()
{
    processor.reset();
    ApplicationDataFolders::setRoot ({});
    root.deleteRecursively();
}

juce::File FuzzedProduct::writeInput (const juce::String& fileName, const uint8_t* data, size_t size) const
{
    const auto file = root.getChildFile (fileName);
    writeInput (file, data, size);
    return file;
}

void FuzzedProduct::writeInput (const juce::File& file, const uint8_t* data, size_t size)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithData (data, size);
}
