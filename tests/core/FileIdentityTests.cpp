#include "FileIdentity.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST (FileIdentity, NamesOneFileHoweverItIsReached)
{
    TestFolder test ("corvane-identity");
    const auto root = test.getFile();
    ASSERT_NE (root, juce::File());

    const auto folder = root.getChildFile ("Folder");
    ASSERT_TRUE (folder.createDirectory());
    const auto file = folder.getChildFile ("a.cvprst");
    ASSERT_TRUE (file.replaceWithText ("a"));
    ASSERT_TRUE (root.getChildFile ("b.cvprst").replaceWithText ("b"));

    const auto link = [&root] (const char* target, const char* name)
    {
        return symlink (target, root.getChildFile (name).getFullPathName().toRawUTF8()) == 0;
    };
    ASSERT_TRUE (link ("Folder/a.cvprst", "toA"));
    ASSERT_TRUE (link ("Folder", "toFolder"));
    ASSERT_TRUE (link ("Folder/new.cvprst", "dangling"));
    ASSERT_TRUE (link ("loop", "loop"));
    ASSERT_EQ (::link (file.getFullPathName().toRawUTF8(), root.getChildFile ("hard").getFullPathName().toRawUTF8()), 0);

    using Links = FileIdentity::Links;
    const struct { const char* first; const char* second; Links links; bool same; } rows[] = {
        { "Folder/a.cvprst",   "Folder/a.cvprst",        Links::keep,   true  },
        { "Folder/a.cvprst",   "b.cvprst",               Links::follow, false },
        { "Folder/a.cvprst",   "hard",                   Links::keep,   true  },
        { "Folder/a.cvprst",   "toA",                    Links::follow, true  },
        { "Folder/a.cvprst",   "toA",                    Links::keep,   false },
        { "Folder/a.cvprst",   "toFolder/a.cvprst",      Links::keep,   true  },
        { "Folder/new.cvprst", "toFolder/new.cvprst",    Links::keep,   true  },
        { "Folder/new.cvprst", "Folder/other.cvprst",    Links::keep,   false },
        { "Folder/new.cvprst", "dangling",               Links::follow, true  },
        { "Folder/new.cvprst", "dangling",               Links::keep,   false },
        { "loop",              "loop",                   Links::follow, false },
        { "Missing/x",         "Missing/x",              Links::follow, false },
    };

    for (const auto& row : rows)
        EXPECT_EQ (FileIdentity::areSame (root.getChildFile (row.first), root.getChildFile (row.second), row.links), row.same)
            << row.first << " and " << row.second;
}
