#pragma once

#include "SkinBuilder.h"

/**
    Turns a built skin into its files: the "PluginEditor" document, one PNG per picture
    (each panel's picture cut from its parent's, with the panel's own artwork on it),
    and a preview of the whole face composed from those same pictures.
*/
class SkinWriter
{
public:
    explicit SkinWriter (SkinBuilder& builder);

    /** The skin document. */
    std::unique_ptr<juce::XmlElement> createDocument() const;

    /** Every picture the document names, panels included, by file name. */
    const std::map<juce::String, juce::Image>& getImages() const noexcept    { return images; }

    /** The face as preview 1, 2 or 3 shows it (panels that take turns in one place
        show the member meant for that preview).
    */
    juce::Image createPreview (int variant) const;

    /** Writes the document and every picture into the folder; false with a message
        on the error stream when a file cannot be written.
    */
    bool writeTo (const juce::File& folder) const;

private:
    void renderPanel (const SkinBuilder::Element& panel, const juce::Image& parentPicture,
                      juce::Rectangle<int> parentBounds);
    void collectPictures (const SkinBuilder::Element& element);
    void paintDecoration (juce::Graphics& g, const SkinBuilder::Decoration& decoration) const;
    std::unique_ptr<juce::XmlElement> createElement (const SkinBuilder::Element& element, bool isMain) const;
    void paintPreview (juce::Graphics& g, const SkinBuilder::Element& element, int variant) const;

    SkinBuilder& builder;
    std::map<juce::String, juce::Image> images;
};
