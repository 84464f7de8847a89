#pragma once

#include "BasePlugin.h"
#include "PopupMenuEx.h"

/**
    The menu from which the "Parameters" options page puts a plug-in parameter on a host
    slot: the automatable parameters grouped by delay line, by modulator, and into master
    and miscellaneous groups, with short labels. Each item's id is the parameter's id and
    its second text the parameter's full name; "- none -" (id -1) empties a slot.
*/
class ParameterChooserMenu
{
public:
    /** Builds the menu from the plug-in's parameters as they are now. */
    static PopupMenuEx create (const BasePlugin& plugin);

    ParameterChooserMenu() = delete;
};
