// Finding snippets by what a person types: folding, the path shown, headers
// before text-only matches, the cap, and a needle narrowed key by key.

#include "menu/SnippetSearch.h"
#include "menu/SnippetMenuModel.h"
#include "support/Loaded.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The hits as "path" for a header match, "(path)" for a text-only one.
std::string Found(CSnippetSearch& search, const std::string& query, std::size_t cap = 50) {
    std::string out;
    for (const CSnippetSearch::SHit& hit : search.Find(query, cap))
        out += (out.empty() ? "" : "|") + (hit.inHeader ? hit.path : "(" + hit.path + ")");
    return out;
}

} // namespace

TEST(SnippetSearch, FindsByFoldedHeaderThenTextWithThePath) {
    const auto library =
        Library("<level0 header=\"Mail\"><level1 header=\"&amp;Sign-off\">"
                "<level2 header=\"Formal\">Kind regards</level2>"
                "<level2 header=\"Order\"><![CDATA[Order a CAFÉ crème]]></level2></level1>"
                "<level1 header=\"Notes\"><level2 header=\"Caf&#xE9; au lait\">Yours</level2>"
                "<level2 header=\"T&amp;&amp;J\">Tom and Jerry</level2>"
                "<level2 header=\"Tokyo\">会議は日本語で</level2><level2>no header, cafe</level2>"
                "</level1><level1 header=\"Lone\">cafe</level1></level0>");
    CSnippetMenuModel model;
    ASSERT_TRUE(model.Build(library.Root(), {}));
    CSnippetSearch search;
    search.SetModel(&model);
    // Case and accents either side; header matches first, each kind in menu
    // order; the access key's "&" neither shown nor in the way.
    const std::string cafe = "Mail › Notes › Café au lait|(Mail › Sign-off › Order)|(Mail › Lone)";
    EXPECT_EQ(Found(search, "CAFE"), cafe);
    EXPECT_EQ(Found(search, "café"), cafe);
    EXPECT_EQ(Found(search, "t&j"), "Mail › Notes › T&J");
    EXPECT_EQ(Found(search, "日本"), "(Mail › Notes › Tokyo)");
    EXPECT_EQ(Found(search, "sign-off"), "") << "levels are not snippets";
    EXPECT_EQ(Found(search, ""), "");
    // The cap keeps the first ones of that order.
    EXPECT_EQ(Found(search, "o", 2), "Mail › Sign-off › Formal|Mail › Sign-off › Order");
    // Typed key by key, then one deleted, then something else: each answer
    // the same as asked afresh.
    for (const char* query : {"o", "or", "ord", "orde", "order", "orde", "yours", "o"}) {
        CSnippetSearch fresh;
        fresh.SetModel(&model);
        EXPECT_EQ(Found(search, query), Found(fresh, query)) << query;
    }
    // A new model is searched anew.
    CSnippetMenuModel other;
    ASSERT_TRUE(other.Build(Library("<level0 header=\"R\">cafe</level0>").Root(), {}));
    search.SetModel(&other);
    EXPECT_EQ(Found(search, "cafe"), "(R)");
}
