// What the snippet menu is made of: entries, captions, omissions, and the
// command ids behind the snippet entries.

#include "menu/SnippetMenuModel.h"
#include "library/SnippetLibrary.h"
#include "menu/SnippetCommandMap.h"
#include "res/CommandIds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CLoaded {
    CTempDir dir;
    CSnippetLibrary lib;
    explicit CLoaded(const std::string& xml) {
        const std::string path = dir.File("lib.xml");
        CTempDir::Write(path, xml);
        EXPECT_TRUE(lib.CreateEngine());
        EXPECT_EQ(lib.Load(path), CSnippetLibrary::LoadOutcome::Ok);
        lib.EnsureRoot();
    }
};

// The model written out as "caption{children}" in menu order.
std::string Outline(const CSnippetMenuModel& model, int index) {
    std::string out;
    for (int i = index; i >= 0; i = model.At(i).nextSibling) {
        if (!out.empty())
            out += ",";
        out += model.At(i).caption;
        if (model.At(i).level)
            out += "{" + Outline(model, model.At(i).firstChild) + "}";
    }
    return out;
}

struct CRecorder {
    std::vector<std::pair<std::size_t, std::string>> missing;
    int invalid = 0;
    CSnippetMenuModel::Reporter Reporter() {
        return {
            [this](std::size_t count, const std::string& xml) { missing.emplace_back(count, xml); },
            [this] { ++invalid; }};
    }
};

} // namespace

TEST(SnippetMenuModel, EntriesFollowTheDocumentWhateverTheElementNames) {
    CLoaded l("<level0 header=\"Mail\">\n"
              "  <!-- a comment --><?pi data?>\n"
              "  <level1 header=\"Greetings\">\n"
              "    <level2 header=\"He&amp;llo\"><![CDATA[Hello there]]></level2>\n"
              "    <title header=\"Thanks\">Thank you</title>\n"
              "  </level1>\n"
              "  <level1 header=\"Sign-off\"><![CDATA[Regards]]></level1>\n"
              "</level0>");
    CSnippetMenuModel model;
    CRecorder rec;
    ASSERT_TRUE(model.Build(l.lib.Root(), rec.Reporter()));
    EXPECT_EQ(Outline(model, model.RootEntry()), "Mail{Greetings{He&llo,Thanks},Sign-off}");
    // Comments, instructions and whitespace make no entries.
    EXPECT_EQ(model.Size(), 5u);
    EXPECT_TRUE(rec.missing.empty());
    EXPECT_EQ(rec.invalid, 0);
    EXPECT_EQ(model.At(2).element.Text(), "Hello there");
}

TEST(SnippetMenuModel, MissingCaptions) {
    // Snippets without a header are left out and reported once, by number and
    // the first one's markup; a branch without one disappears whole, silently.
    CLoaded l("<level0 header=\"Root\">"
              "<level1 header=\"A\">a</level1>"
              "<level1 iid=\"5\">no caption</level1>"
              "<level1><level2 header=\"Hidden\">h</level2></level1>"
              "<level1 header=\"\">empty</level1>"
              "<level1 header=\"B\">b</level1>"
              "</level0>");
    CSnippetMenuModel model;
    CRecorder rec;
    ASSERT_TRUE(model.Build(l.lib.Root(), rec.Reporter()));
    EXPECT_EQ(Outline(model, 0), "Root{A,B}");
    using Report = std::pair<std::size_t, std::string>;
    EXPECT_EQ(rec.missing, std::vector<Report>{Report(2, "<level1 iid=\"5\">no caption</level1>")});
}

TEST(SnippetMenuModel, RootCases) {
    {
        // A root with no children is the one snippet entry.
        CLoaded l("<level0 header=\"Only\">just text</level0>");
        CSnippetMenuModel model;
        CRecorder rec;
        ASSERT_TRUE(model.Build(l.lib.Root(), rec.Reporter()));
        EXPECT_EQ(Outline(model, 0), "Only");
        EXPECT_FALSE(model.At(0).level);
    }
    {
        // A root without a header gives no entry; reported only when it is a
        // snippet itself.
        CLoaded l("<level0><level1 header=\"A\">a</level1></level0>");
        CSnippetMenuModel model;
        CRecorder rec;
        EXPECT_FALSE(model.Build(l.lib.Root(), rec.Reporter()));
        EXPECT_EQ(model.RootEntry(), -1);
        EXPECT_TRUE(rec.missing.empty());

        CLoaded bare("<level0>text</level0>");
        EXPECT_FALSE(model.Build(bare.lib.Root(), rec.Reporter()));
        EXPECT_EQ(rec.missing.size(), 1u);
    }
}

TEST(SnippetMenuModel, DeepAndWideLibraries) {
    std::string xml = "<level0 header=\"R\">";
    for (int i = 0; i < 200; ++i)
        xml += "<level1 header=\"d" + std::to_string(i) + "\">";
    xml += "<leaf header=\"bottom\">x</leaf>";
    for (int i = 0; i < 200; ++i)
        xml += "</level1>";
    for (int i = 0; i < 5000; ++i)
        xml += "<s header=\"s" + std::to_string(i) + "\">t</s>";
    xml += "</level0>";
    CLoaded l(xml);
    CSnippetMenuModel model;
    CRecorder rec;
    ASSERT_TRUE(model.Build(l.lib.Root(), rec.Reporter()));
    EXPECT_EQ(model.Size(), 1u + 200u + 1u + 5000u);
    int index = 1;
    for (int depth = 0; depth < 200; ++depth)
        index = model.At(index).firstChild;
    EXPECT_EQ(model.At(index).caption, "bottom");
    // Rebuilding replaces the entries rather than adding to them.
    ASSERT_TRUE(model.Build(l.lib.Root(), rec.Reporter()));
    EXPECT_EQ(model.Size(), 5202u);
}

TEST(SnippetCommandMap, IdsComeFromTheirOwnRangeAndAreReusedAtEachRebuild) {
    CLoaded l("<level0 header=\"R\"><a header=\"A\">1</a><b header=\"B\">2</b></level0>");
    const CXmlNode a = l.lib.Root().FirstChildElement();
    const CXmlNode b = a.NextSiblingElement();

    CSnippetCommandMap map;
    for (int rebuild = 0; rebuild < 1000; ++rebuild) {
        map.Reset();
        EXPECT_EQ(map.AddSnippet(a), CSnippetCommandMap::kFirstSnippetId);
        EXPECT_EQ(map.AddSnippet(b), CSnippetCommandMap::kFirstSnippetId + 1);
    }
    EXPECT_EQ(map.FindSnippet(CSnippetCommandMap::kFirstSnippetId + 1).Text(), "2");
    EXPECT_FALSE(map.FindSnippet(CSnippetCommandMap::kFirstSnippetId + 2));
    EXPECT_FALSE(map.FindSnippet(CSnippetCommandMap::kFirstSnippetId - 1));

    // Filling the range: then 0, never an id outside it.
    map.Reset();
    for (int i = 0; i < CSnippetCommandMap::kCapacity; ++i)
        ASSERT_TRUE(CSnippetCommandMap::IsSnippetId(map.AddSnippet(a)));
    EXPECT_EQ(map.AddSnippet(b), 0);
    EXPECT_EQ(map.FindSnippet(CSnippetCommandMap::kLastSnippetId).Text(), "1");

    // The range fits the toolkit's ids and no command of the program is in it.
    EXPECT_LT(CSnippetCommandMap::kLastSnippetId, 0x7FFF);
    for (int id : {ids::ID_FILE_NEW,
                   ids::ID_FILE_OPEN,
                   ids::ID_FILE_SAVE,
                   ids::ID_FILE_SAVE_AS,
                   ids::ID_FILE_MRU_FILE1 + 3,
                   ids::ID_EDIT_COPY,
                   ids::ID_EDIT_CUT,
                   ids::ID_EDIT_PASTE,
                   ids::ID_EDIT_SELECT_ALL,
                   ids::ID_EDIT_UNDO,
                   ids::ID_APP_ABOUT,
                   ids::ID_APP_EXIT,
                   ids::ID_CONTEXT_HELP,
                   ids::ID_HELP,
                   ids::ID_VIEW_STATUS_BAR,
                   ids::ID_ACTIVATE_MENU,
                   ids::ID_DEACTIVATE_MENU,
                   ids::ID_ADD_MENU_ITEM,
                   ids::ID_REMOVE_MENU_ITEM,
                   ids::ID_TIP_OF_THE_DAY,
                   ids::ID_TOGGLE_MENU,
                   ids::ID_HOOK_CLOSE_MENU,
                   ids::ID_HOOK_PASTE_ALL,
                   ids::ID_OPEN_URL,
                   ids::ID_RELOAD,
                   ids::ID_EXPORT_FAVORITES,
                   ids::ID_OPTIONS,
                   ids::ID_HELP_TOPICS,
                   ids::ID_TECH_SUPPORT,
                   ids::IDW_TOOLBAR,
                   4999,
                   5999})
        EXPECT_FALSE(CSnippetCommandMap::IsSnippetId(id)) << id;
}

TEST(SnippetCommandMap, AnEntryOutlivesItsElementsRemovalAndSeesNewText) {
    CLoaded l("<level0 header=\"R\"><a header=\"A\">old</a></level0>");
    CSnippetCommandMap map;
    CXmlNode a = l.lib.Root().FirstChildElement();
    const int id = map.AddSnippet(a);
    CXmlNode root = l.lib.Root();
    root.RemoveChild(a);
    a = CXmlNode();
    EXPECT_EQ(map.FindSnippet(id).Text(), "old");
    // Replacing the document does not take it either.
    CLoaded other("<level0 header=\"X\"/>");
    EXPECT_EQ(map.FindSnippet(id).Text(), "old");
}
