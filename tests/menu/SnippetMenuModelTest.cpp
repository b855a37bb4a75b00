// What the snippet menu is made of: entries, captions, omissions, and the
// command ids behind the snippet entries.

#include "menu/SnippetMenuModel.h"
#include "menu/SnippetCommandMap.h"
#include "res/CommandIds.h"
#include "support/Loaded.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The model written out as "caption{children}" in menu order.
static std::string Outline(const CSnippetMenuModel& model, int index) {
    std::string out;
    for (int i = index; i >= 0; i = model.At(i).nextSibling) {
        out += (out.empty() ? "" : ",") + model.At(i).caption;
        if (model.At(i).level)
            out += "{" + Outline(model, model.At(i).firstChild) + "}";
    }
    return out;
}

// The outline of the library's menu, "-" when its root gives no entry, and
// the reports of the build.
static std::string Menu(const std::string& xml, CSnippetMenuModel& model) {
    std::string reports;
    const auto missing = [&](std::size_t count, const std::string& first) {
        reports += " missing " + std::to_string(count) + " " + first;
    };
    const bool built = model.Build(Library(xml).Root(), {missing, [&] { reports += " invalid"; }});
    return (built ? Outline(model, model.RootEntry()) : "-") + reports;
}

TEST(SnippetMenuModel, EntriesFollowTheDocumentWhateverTheElementNames) {
    // Comments, instructions and whitespace make no entries. Snippets without
    // a header are left out and reported once, by number and the first one's
    // markup; a branch without one disappears whole, silently. A root with no
    // children is the one snippet entry; without a header it gives none, and
    // is reported only when it is a snippet itself.
    const std::pair<const char*, const char*> cases[] = {
        {"<level0 header=\"Mail\"> <!-- a comment --><?pi data?>\n<level1 header=\"Greetings\">"
         "<level2 header=\"He&amp;llo\">Hi</level2> <title header=\"Thanks\">T</title></level1>"
         "<level1 header=\"Sign-off\"><![CDATA[Regards]]></level1>\n</level0>",
         "Mail{Greetings{He&llo,Thanks},Sign-off}"},
        {"<level0 header=\"Root\"><level1 header=\"A\">a</level1><level1>no caption</level1>"
         "<level1><level2 header=\"Hidden\">h</level2></level1><level1 header=\"\">empty</level1>"
         "<level1 header=\"B\">b</level1></level0>",
         "Root{A,B} missing 2 <level1 iid=\"2\">no caption</level1>"},
        {"<level0 header=\"Only\">just text</level0>", "Only"},
        {"<level0><level1 header=\"A\">a</level1></level0>", "-"},
        {"<level0>text</level0>", "- missing 1 <level0 iid=\"0\">text</level0>"},
    };
    CSnippetMenuModel model;
    for (const auto& [xml, menu] : cases)
        EXPECT_EQ(Menu(xml, model), menu);
    EXPECT_EQ(model.RootEntry(), -1) << "nothing left of an earlier build";
}

TEST(SnippetCommandMap, IdsComeFromTheirOwnRangeAndEntriesOutliveTheirElements) {
    const CSnippetLibrary lib = Library("<level0 header=\"R\"><a>1</a><b>2</b></level0>");
    const CXmlNode a = lib.Root().FirstChildElement(), b = a.NextSiblingElement();
    CSnippetCommandMap map;
    const int first = CSnippetCommandMap::kFirstSnippetId;
    // (Ids in order from the range's start at every rebuild, and the text
    // behind them: the snippet menu's test.) Ids beside the ones given: none.
    EXPECT_EQ(map.AddSnippet(a), first);
    EXPECT_FALSE(map.FindSnippet(first + 1) || map.FindSnippet(first - 1));

    // Filling the range: then 0, never an id outside it.
    map.Reset();
    for (int i = 0; i < CSnippetCommandMap::kCapacity; ++i)
        ASSERT_TRUE(CSnippetCommandMap::IsSnippetId(map.AddSnippet(a)));
    EXPECT_EQ(map.AddSnippet(b), 0);
    EXPECT_EQ(map.FindSnippet(CSnippetCommandMap::kLastSnippetId).Text(), "1");
    // A released id still finds its element (the choice comes after its
    // submenu's close) until it is given out again, to the next element;
    // ids of an earlier menu are never taken back.
    map.Release(first + 7);
    EXPECT_EQ(map.FindSnippet(first + 7).Text(), "1");
    EXPECT_EQ(map.AddSnippet(b), first + 7);
    EXPECT_EQ(map.FindSnippet(first + 7).Text(), "2");
    map.Reset();
    map.AddSnippet(a);
    map.Release(first + 7);
    EXPECT_EQ(map.AddSnippet(b), first + 1);

    // The range fits the toolkit's ids and lies between the program's own
    // commands and the framework's (the toolkit's own, 4999 to 5999, below).
    EXPECT_LT(CSnippetCommandMap::kLastSnippetId, 0x7FFF);
    for (int id : {ids::ID_TOGGLE_MENU, ids::ID_TECH_SUPPORT, 5999, ids::ID_FILE_NEW})
        EXPECT_FALSE(CSnippetCommandMap::IsSnippetId(id)) << id;

    // An entry outlives its element's removal and its document.
    int id = 0;
    {
        CSnippetLibrary other = Library("<level0 header=\"R\"><a header=\"A\">old</a></level0>");
        CXmlNode root = other.Root();
        map.Reset();
        id = map.AddSnippet(root.FirstChildElement());
        root.RemoveChild(root.FirstChildElement());
    }
    EXPECT_EQ(map.FindSnippet(id).Text(), "old");
}
