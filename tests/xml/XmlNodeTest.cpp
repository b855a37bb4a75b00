// Node handles of the XML layer: text, serialisation, attributes, tree edits,
// XPath, refused edits, and how long removed and replaced trees live.

#include "support/LoadSource.h"
#include "xml/XmlDocState.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

CXmlNode Attribute(CXmlDocument& doc, const std::string& name, const std::string& value) {
    CXmlNode attr = doc.CreateAttribute(name);
    attr.SetNodeValue(value);
    return attr;
}

const char* kLibrary = "<level0 header=\"Lib\" iid=\"0\">\n"
                       "  <level1 header=\"One\" iid=\"1\"><![CDATA[first]]></level1>\n"
                       "  <level1 header=\"Two\" iid=\"2\">\n"
                       "    <level2 header=\"Three\" iid=\"3\"><![CDATA[third]]></level2>\n"
                       "  </level1>\n"
                       "  <level1 header=\"Four\" iid=\"3\"><![CDATA[fourth]]></level1>\n"
                       "</level0>";

} // namespace

TEST(XmlNode, TextNamesTypesAndNavigation) {
    CXmlDocument doc =
        Parsed("<!--top--><r a=\"1 &lt; 2 &amp; &#xE9;\">a<![CDATA[<b>]]><x>c<!--no-->"
               "<?pi no?><y><![CDATA[d]]>e</y></x>&amp;f<e/></r>");
    const CXmlNode top = doc.DocumentNode(), comment = top.FirstChild();
    const CXmlNode r = comment.NextSibling(), text = r.FirstChild(), cdata = text.NextSibling();
    const CXmlNode attr = r.SelectSingleNode("@a"), e = r.SelectSingleNode("e");
    const struct {
        CXmlNode node;
        int type;
        const char* name;
        const char* text;
    } cases[] = {
        {top, NODE_DOCUMENT, "#document", "a<b>cde&f"},
        {comment, NODE_COMMENT, "#comment", "top"},
        {r, NODE_ELEMENT, "r", "a<b>cde&f"},
        {text, NODE_TEXT, "#text", "a"},
        {cdata, NODE_CDATA_SECTION, "#cdata-section", "<b>"},
        {r.SelectSingleNode("x/y"), NODE_ELEMENT, "y", "de"},
        {attr, NODE_ATTRIBUTE, "a", "1 < 2 & \xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.node.NodeType(), c.type) << c.name;
        EXPECT_EQ(c.node.NodeName(), c.name);
        EXPECT_EQ(c.node.Text(), c.text) << c.name;
    }
    EXPECT_EQ(*r.GetNamedItem("a"), "1 < 2 & \xC3\xA9");
    EXPECT_EQ(Parsed("<r> <e/> </r>").DocumentElement().Text(), "  ");
    EXPECT_TRUE(r == doc.DocumentElement() && r.ParentNode() == top &&
                r.OwnerDocumentNode() == top);
    EXPECT_FALSE(top.ParentNode() || e.NextSibling() || e.FirstChild() || attr.ParentNode() ||
                 attr.FirstChild());
}

TEST(XmlNode, XmlIsTheEngineFormWithDoubleQuotesAndRawUtf8) {
    CXmlDocument doc;
    CXmlNode root = doc.AppendChild(doc.CreateElement("level0"));
    root.SetNamedItem(Attribute(doc, "iid", "0"));
    EXPECT_EQ(doc.DocumentNode().Xml(), "<level0 iid=\"0\"/>\n");
    root.SetNamedItem(Attribute(doc, "header", "caf\xC3\xA9 \"q\" <&>"));
    root.AppendChild(doc.CreateCDATASection("x < y & \xE2\x80\x9Cz\xE2\x80\x9D"));
    root.AppendChild(doc.CreateTextNode("\xC3\xA9 <&> \"'"));
    EXPECT_EQ(root.Xml(), "<level0 iid=\"0\" header=\"caf\xC3\xA9 &quot;q&quot; &lt;&amp;&gt;\">"
                          "<![CDATA[x < y & \xE2\x80\x9Cz\xE2\x80\x9D]]>"
                          "\xC3\xA9 &lt;&amp;&gt; \"'</level0>");
    EXPECT_EQ(root.SelectSingleNode("@iid").Xml(), "iid=\"0\"");
    EXPECT_EQ(Loaded("<r a='x'><!-- c --><?p d?><e b='\xC3\xBC'/></r>"),
              "<r a=\"x\"><!-- c --><?p d?><e b=\"\xC3\xBC\"/></r>");

    // CDATA holding its own terminator is split so that it reads back whole.
    CXmlNode r = doc.CreateElement("r");
    r.AppendChild(doc.CreateCDATASection("a]]>b]]]]>c"));
    CXmlDocument back = Parsed(r.Xml());
    EXPECT_EQ(back.DocumentElement().Text(), "a]]>b]]]]>c");
    EXPECT_EQ(back.DocumentElement().FirstChild().NodeType(), NODE_CDATA_SECTION);
}

TEST(XmlNode, SetNamedItemAppendsAndReplaces) {
    CXmlDocument doc = Parsed("<e iid=\"7\" header=\"H\" x=\"1\"/>");
    CXmlNode e = doc.DocumentElement();
    EXPECT_EQ(e.GetNamedItem("missing"), std::nullopt);
    EXPECT_NO_THROW(e.RemoveNamedItem("missing"));
    // The editor renumbers by removing iid and setting a new one: it goes last.
    e.RemoveNamedItem("iid");
    e.SetNamedItem(Attribute(doc, "iid", "8"));
    // A name that exists is replaced, also at the end; the old handle still reads.
    CXmlNode oldHeader = e.SelectSingleNode("@header");
    e.SetNamedItem(Attribute(doc, "header", "New"));
    EXPECT_EQ(e.Xml(), "<e x=\"1\" iid=\"8\" header=\"New\"/>");
    EXPECT_EQ(oldHeader.Text(), "H");
    EXPECT_FALSE(oldHeader.IsInDocumentTree());
    // Values are taken literally, not as markup.
    CXmlNode attr = e.SelectSingleNode("@x");
    attr.SetNodeValue("a&amp;b<");
    EXPECT_EQ(*e.GetNamedItem("x"), "a&amp;b<");
    EXPECT_EQ(e.Xml(), "<e x=\"a&amp;amp;b&lt;\" iid=\"8\" header=\"New\"/>");
    // An attribute in use elsewhere, and non-elements, are refused.
    EXPECT_THROW(doc.CreateElement("o").SetNamedItem(attr), CXmlError);
    EXPECT_THROW(attr.SetNamedItem(Attribute(doc, "y", "1")), CXmlError);
    EXPECT_TRUE(e.HasAttributeMap() && !attr.HasAttributeMap());
}

TEST(XmlNode, BadEditsThrowTheirCodeAndChangeNothing) {
    CXmlDocument doc = Parsed("<r><a/><b/></r>"), other;
    CXmlNode root = doc.DocumentElement(), a = root.FirstChild(), empty;
    const std::pair<std::function<void()>, XmlResult> cases[] = {
        {[&] { empty.Text(); }, XmlResult::Pointer},
        {[&] { empty.NodeType(); }, XmlResult::Pointer},
        {[&] { root.AppendChild(empty); }, XmlResult::Pointer},
        // One root element only, and no node inside itself.
        {[&] { doc.AppendChild(doc.CreateElement("second")); }, XmlResult::HierarchyRequest},
        {[&] { doc.AppendChild(doc.CreateTextNode("t")); }, XmlResult::HierarchyRequest},
        {[&] { a.AppendChild(root); }, XmlResult::HierarchyRequest},
        {[&] { a.AppendChild(a); }, XmlResult::HierarchyRequest},
        {[&] { root.AppendChild(root.SelectSingleNode("a/..")); }, XmlResult::HierarchyRequest},
        {[&] { root.AppendChild(other.CreateElement("x")); }, XmlResult::WrongDocument},
        {[&] { root.SetNamedItem(other.CreateAttribute("x")); }, XmlResult::WrongDocument},
        {[&] { a.RemoveChild(root); }, XmlResult::InvalidArg},
        {[&] { doc.CreateElement("no good"); }, XmlResult::InvalidArg},
        {[&] { doc.CreateTextNode("caf\xE9"); }, XmlResult::InvalidArg},
        {[&] { doc.CreateCDATASection(std::string("a\0b", 3)); }, XmlResult::InvalidArg},
        {[&] { root.SetNodeValue("x"); }, XmlResult::InvalidArg},
        {[&] { root.SelectSingleNode("@*").SetNodeValue("\xFF"); }, XmlResult::Pointer},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        XmlResult thrown = XmlResult::Fail;
        try {
            cases[i].first();
        } catch (const CXmlError& error) {
            thrown = error.Code();
        }
        EXPECT_EQ(thrown, cases[i].second) << "case " << i;
    }
    EXPECT_EQ(root.Xml(), "<r><a/><b/></r>");
}

TEST(XmlNode, XPathGivesTheFirstMatchInDocumentOrder) {
    CXmlDocument doc = Parsed(kLibrary);
    const CXmlNode two = doc.SelectSingleNode("//level1[@iid='2']");
    const std::pair<CXmlNode, const char*> cases[] = {
        {doc.SelectSingleNode("//level1[@iid='3']"), "Four"},
        {doc.SelectSingleNode("//*[@iid='3']"), "Three"},
        {doc.SelectSingleNode("//level2 | //level1"), "One"},
        {doc.SelectSingleNode("(//level1)[last()]"), "Four"},
        // The context node is the node asked.
        {two.SelectSingleNode("level2"), "Three"},
        {two.SelectSingleNode(".."), "Lib"},
    };
    for (const auto& [node, header] : cases)
        EXPECT_EQ(node.GetNamedItem("header").value_or("none"), header);
    EXPECT_EQ(two.SelectSingleNode("following-sibling::level1/text()").Text(), "fourth");
    EXPECT_FALSE(doc.SelectSingleNode("//level1[@iid='99']"));
    EXPECT_FALSE(doc.SelectSingleNode("/level0/namespace::*"));
    testing::internal::CaptureStderr();
    for (const char* bad : {"//level1[@iid='3'", "count(//level1)", "nosuchfunction()"})
        EXPECT_THROW(doc.SelectSingleNode(bad), CXmlError) << bad;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(XmlNode, MovedRemovedAndReplacedNodesLiveAsLongAsTheirHandles) {
    const std::size_t trees = CXmlDocState::LiveDetachedTrees();
    const std::size_t docs = CXmlDocState::LiveDocuments();
    CXmlNode item, cdata, attr, deep, fresh;
    {
        CXmlDocument doc = Parsed(kLibrary), copy = doc;
        CXmlNode root = doc.DocumentElement(), one = root.FirstChildElement();
        CXmlNode two = one.NextSiblingElement();
        // Moving keeps the node itself: no copy, no merge with neighbours.
        CXmlNode moved = one.AppendChild(two.SelectSingleNode("level2"));
        EXPECT_EQ(moved.ParentNode(), one);
        EXPECT_EQ(two.Text(), "\n    \n  ");
        two.AppendChild(doc.CreateTextNode("a"));
        two.AppendChild(doc.CreateTextNode("b"));
        EXPECT_EQ(two.SelectSingleNode("text()[last()]").Text(), "b");
        CXmlNode removed = root.RemoveChild(two);
        EXPECT_TRUE(removed == two && !removed.ParentNode() && !removed.IsInDocumentTree());
        EXPECT_EQ(removed.Xml(), "<level1 header=\"Two\" iid=\"2\">\n    \n  ab</level1>");
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees + 1);
        root.AppendChild(removed); // a removed node can go back in
        EXPECT_TRUE(removed.IsInDocumentTree() &&
                    root.SelectSingleNode("level1[last()]") == removed);
        // A subtree built apart joins the tree: nothing is left over.
        CXmlNode branch = root.AppendChild(doc.CreateElement("branch"));
        branch.AppendChild(doc.CreateElement("leaf")).AppendChild(doc.CreateTextNode("t"));
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);

        // Each keystroke of the editor swaps the CDATA node of an item.
        deep = root.SelectSingleNode("level1[@iid='3']");
        for (int i = 0; i < 200; ++i) {
            deep.RemoveChild(deep.FirstChild());
            deep.AppendChild(doc.CreateCDATASection("text " + std::to_string(i)));
        }
        // Created nodes that never went in, and replaced attributes, go too.
        doc.CreateElement("unused");
        root.SetNamedItem(doc.CreateAttribute("a"));
        root.SetNamedItem(doc.CreateAttribute("a"));
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);

        item = root.RemoveChild(one);
        cdata = item.SelectSingleNode("text()[last()]");
        attr = doc.SelectSingleNode("//level1[@iid='2']/@header");
        // Loading into a copy replaces the document for every copy; old nodes
        // cannot join it.
        ASSERT_TRUE(copy.LoadBytes("<fresh/>").ok());
        fresh = doc.DocumentElement();
        EXPECT_EQ(fresh.NodeName(), "fresh");
        EXPECT_THROW(fresh.AppendChild(deep), CXmlError);
        EXPECT_EQ(CXmlDocState::LiveDocuments(), docs + 2);
    }
    // A removed subtree, and a replaced document, outlive the document object.
    EXPECT_EQ(item.Xml(), "<level1 header=\"One\" iid=\"1\"><![CDATA[first]]><level2 "
                          "header=\"Three\" iid=\"3\"><![CDATA[third]]></level2></level1>");
    EXPECT_EQ(cdata.ParentNode(), item);
    EXPECT_EQ(attr.Text(), "Two");
    EXPECT_EQ(deep.Text(), "text 199");
    EXPECT_EQ(deep.ParentNode().NodeName(), "level0");
    EXPECT_EQ(deep.OwnerDocumentNode().SelectSingleNode("//level1[@iid='2']").Text(),
              "\n    \n  ab");
    // The last handle into a removed subtree or a replaced document frees it.
    item = CXmlNode();
    EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees + 1);
    cdata = CXmlNode();
    EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);
    attr = deep = CXmlNode();
    EXPECT_EQ(CXmlDocState::LiveDocuments(), docs + 1);
    fresh = CXmlNode();
    EXPECT_EQ(CXmlDocState::LiveDocuments(), docs);
}
