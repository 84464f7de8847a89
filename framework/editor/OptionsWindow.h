#pragma once

#include "TabbedComponentEx.h"
#include "WindowComponent.h"

/**
    The editor's "Options" window: the settings pages as tabs. The editor titles, sizes and
    fills it, and shows it modally; the pages belong to the editor, which deletes this
    window before them.
*/
class OptionsWindow  : public WindowComponent
{
public:
    OptionsWindow();
    ~OptionsWindow() override;

    TabbedComponentEx& getTabs() noexcept       { return *tabs; }

    /** @internal */
    void resized() override;

private:
    std::unique_ptr<TabbedComponentEx> tabs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OptionsWindow)
};
