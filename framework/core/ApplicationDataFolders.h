#pragma once

#include <juce_core/juce_core.h>

/**
    The two application-data folders under which the framework keeps its files: the
    user's own (settings, state dump, presets) and the machine-wide one (skins, factory
    preset archives).

    A product uses the system's folders as JUCE reports them. Tests and a simulated host
    move both below one root of their own, so nothing they do reaches a real user's
    files or a folder that only an administrator may write: either by calling setRoot,
    or, for a host that loads the module as a library, by setting the environment
    variable CORVANE_DATA_ROOT before the first instance is created. Below a root the
    user's folder is root/"user" and the machine-wide one root/"common".
*/
struct ApplicationDataFolders
{
    /** The user's application-data folder (JUCE's userApplicationDataDirectory, or .config
        below getHomeFolder() where the home folder JUCE would read is not an absolute name in
        UTF-8 text).
    */
    static juce::File getUserFolder();

    /** The machine-wide application-data folder (JUCE's commonApplicationDataDirectory). */
    static juce::File getCommonFolder();

    /** Moves both folders below this root; juce::File() gives the system's folders back
        (or the environment's root, when CORVANE_DATA_ROOT is set).
    */
    static void setRoot (const juce::File& root);

    /** The root in force: the one set by setRoot, else the environment's, else none. */
    static juce::File getRoot();

    /** The user's home folder as JUCE names it (HOME, else the account's), read as bytes: JUCE
        reads HOME without a check, so where HOME is not an absolute name in UTF-8 text the
        account's folder is taken as where HOME is not set; none when neither can be read.
    */
    static juce::File getHomeFolder();
};
