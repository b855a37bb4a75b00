#include "support/LoadSource.h"
#include "xml/XmlDocState.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

namespace {

CXmlDocument Parsed(const std::string& xml) {
    CXmlDocument doc;
    XmlLoadResult result = doc.LoadBytes(xml);
    EXPECT_TRUE(result.ok()) << result.detail;
    return doc;
}

CXmlNode NewAttribute(CXmlDocument& doc, const std::string& name, const std::string& value) {
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

TEST(XmlText, CollectsCharacterDataInDocumentOrder) {
    CXmlDocument doc = Parsed("<r>a<![CDATA[<b>]]><x>c<!--no--><?pi no?><y><![CDATA[d]]>e</y></x>"
                              "&amp;f</r>");
    CXmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.Text(), "a<b>cde&f");
    EXPECT_EQ(doc.DocumentNode().Text(), "a<b>cde&f");
    EXPECT_EQ(root.SelectSingleNode("x/y").Text(), "de");
    EXPECT_EQ(root.FirstChild().NextSibling().Text(), "<b>");

    CXmlDocument attrs = Parsed("<r a=\"1 &lt; 2 &amp; &#xE9;\"> <e/> </r>");
    EXPECT_EQ(attrs.SelectSingleNode("/r/@a").Text(), "1 < 2 & \xC3\xA9");
    EXPECT_EQ(*attrs.DocumentElement().GetNamedItem("a"), "1 < 2 & \xC3\xA9");
    EXPECT_EQ(attrs.DocumentElement().Text(), "  ");
}

TEST(XmlSerialise, MatchesTheEngineWithDoubleQuotesAndRawUtf8) {
    CXmlDocument doc;
    CXmlNode root = doc.AppendChild(doc.CreateElement("level0"));
    root.SetNamedItem(NewAttribute(doc, "header", "New Document"));
    root.SetNamedItem(NewAttribute(doc, "iid", "0"));
    EXPECT_EQ(root.Xml(), "<level0 header=\"New Document\" iid=\"0\"/>");
    EXPECT_EQ(doc.DocumentNode().Xml(), "<level0 header=\"New Document\" iid=\"0\"/>\n");

    root.SetNamedItem(NewAttribute(doc, "header", "caf\xC3\xA9 \"q\" <&>"));
    root.AppendChild(doc.CreateCDATASection("x < y & \xE2\x80\x9Cz\xE2\x80\x9D"));
    root.AppendChild(doc.CreateTextNode("\xC3\xA9 <&> \"'"));
    EXPECT_EQ(root.Xml(), "<level0 iid=\"0\" header=\"caf\xC3\xA9 &quot;q&quot; &lt;&amp;&gt;\">"
                          "<![CDATA[x < y & \xE2\x80\x9Cz\xE2\x80\x9D]]>"
                          "\xC3\xA9 &lt;&amp;&gt; \"'</level0>");
    EXPECT_EQ(root.SelectSingleNode("@iid").Xml(), "iid=\"0\"");

    // Single quotes in the source come out double; comments and PIs survive.
    CXmlDocument loaded = Parsed("<r a='x'><!-- c --><?p d?><e b='\xC3\xBC'/></r>");
    EXPECT_EQ(loaded.DocumentElement().Xml(),
              "<r a=\"x\"><!-- c --><?p d?><e b=\"\xC3\xBC\"/></r>");
}

TEST(XmlSerialise, CdataHoldingItsTerminatorReadsBackUnchanged) {
    const std::string text = "a]]>b]]]]>c";
    CXmlDocument doc;
    CXmlNode root = doc.AppendChild(doc.CreateElement("r"));
    root.AppendChild(doc.CreateCDATASection(text));
    std::string xml = root.Xml();
    EXPECT_EQ(xml.find("<![CDATA[a]]>b"), std::string::npos) << xml;

    CXmlDocument back;
    XmlLoadResult result = back.LoadBytes(xml);
    ASSERT_TRUE(result.ok()) << result.detail << "\n" << xml;
    EXPECT_EQ(back.DocumentElement().Text(), text);
    EXPECT_EQ(back.DocumentElement().FirstChild().NodeType(), NODE_CDATA_SECTION);
}

TEST(XmlAttributes, SetNamedItemAppendsAndReplaces) {
    CXmlDocument doc = Parsed("<e iid=\"7\" header=\"H\" x=\"1\"/>");
    CXmlNode e = doc.DocumentElement();
    EXPECT_EQ(e.GetNamedItem("missing"), std::nullopt);
    EXPECT_NO_THROW(e.RemoveNamedItem("missing"));

    // The editor renumbers by removing iid and setting a new one: it goes last.
    e.RemoveNamedItem("iid");
    e.SetNamedItem(NewAttribute(doc, "iid", "8"));
    EXPECT_EQ(e.Xml(), "<e header=\"H\" x=\"1\" iid=\"8\"/>");

    // Setting a name that exists replaces it, also at the end; a handle to the
    // replaced attribute still reads its value.
    CXmlNode oldHeader = e.SelectSingleNode("@header");
    e.SetNamedItem(NewAttribute(doc, "header", "New"));
    EXPECT_EQ(e.Xml(), "<e x=\"1\" iid=\"8\" header=\"New\"/>");
    EXPECT_EQ(oldHeader.Text(), "H");
    EXPECT_FALSE(oldHeader.IsInDocumentTree());

    // Values are taken literally, not as markup.
    CXmlNode attr = e.SelectSingleNode("@x");
    attr.SetNodeValue("a&amp;b<");
    EXPECT_EQ(*e.GetNamedItem("x"), "a&amp;b<");
    EXPECT_EQ(e.Xml(), "<e x=\"a&amp;amp;b&lt;\" iid=\"8\" header=\"New\"/>");

    // An attribute in use elsewhere, and non-elements, are refused.
    CXmlNode other = doc.CreateElement("o");
    EXPECT_THROW(other.SetNamedItem(attr), CXmlError);
    EXPECT_THROW(attr.SetNamedItem(NewAttribute(doc, "y", "1")), CXmlError);
    EXPECT_FALSE(attr.HasAttributeMap());
    EXPECT_TRUE(e.HasAttributeMap());
}

TEST(XmlTree, NavigationNamesAndTypes) {
    CXmlDocument doc = Parsed("<!--top--><r a=\"1\">t<![CDATA[c]]><e/></r>");
    CXmlNode docNode = doc.DocumentNode();
    EXPECT_EQ(docNode.NodeType(), NODE_DOCUMENT);
    EXPECT_EQ(docNode.NodeName(), "#document");
    EXPECT_FALSE(docNode.ParentNode());

    CXmlNode comment = docNode.FirstChild();
    EXPECT_EQ(comment.NodeType(), NODE_COMMENT);
    EXPECT_EQ(comment.NodeName(), "#comment");
    CXmlNode root = comment.NextSibling();
    EXPECT_EQ(root, doc.DocumentElement());
    EXPECT_EQ(root.ParentNode(), docNode);
    EXPECT_EQ(root.OwnerDocumentNode(), docNode);

    CXmlNode text = root.FirstChild();
    EXPECT_EQ(text.NodeName(), "#text");
    EXPECT_EQ(text.NodeType(), NODE_TEXT);
    CXmlNode cdata = text.NextSibling();
    EXPECT_EQ(cdata.NodeName(), "#cdata-section");
    CXmlNode e = cdata.NextSibling();
    EXPECT_EQ(e.NodeName(), "e");
    EXPECT_EQ(e.NodeType(), NODE_ELEMENT);
    EXPECT_FALSE(e.NextSibling());
    EXPECT_FALSE(e.FirstChild());

    CXmlNode attr = root.SelectSingleNode("@a");
    EXPECT_EQ(attr.NodeType(), NODE_ATTRIBUTE);
    EXPECT_EQ(attr.NodeName(), "a");
    EXPECT_FALSE(attr.ParentNode());
    EXPECT_FALSE(attr.FirstChild());
}

TEST(XmlTree, EmptyHandlesAndBadEditsThrow) {
    CXmlNode empty;
    EXPECT_FALSE(empty);
    auto codeOf = [](auto&& call) {
        try {
            call();
        } catch (const CXmlError& e) {
            return e.Code();
        }
        return XmlResult::Fail;
    };
    EXPECT_EQ(codeOf([&] { empty.Text(); }), XmlResult::Pointer);
    EXPECT_EQ(codeOf([&] { empty.NodeType(); }), XmlResult::Pointer);

    CXmlDocument doc = Parsed("<r><a/><b/></r>");
    CXmlNode root = doc.DocumentElement();
    CXmlNode a = root.FirstChild();
    EXPECT_EQ(codeOf([&] { root.AppendChild(empty); }), XmlResult::Pointer);

    // One root element only, and no node inside itself.
    EXPECT_EQ(codeOf([&] { doc.AppendChild(doc.CreateElement("second")); }),
              XmlResult::HierarchyRequest);
    EXPECT_EQ(codeOf([&] { doc.AppendChild(doc.CreateTextNode("t")); }),
              XmlResult::HierarchyRequest);
    EXPECT_EQ(codeOf([&] { a.AppendChild(root); }), XmlResult::HierarchyRequest);
    EXPECT_EQ(codeOf([&] { a.AppendChild(a); }), XmlResult::HierarchyRequest);
    EXPECT_EQ(codeOf([&] { root.AppendChild(root.SelectSingleNode("a/..")); }),
              XmlResult::HierarchyRequest);

    CXmlDocument other;
    EXPECT_EQ(codeOf([&] { root.AppendChild(other.CreateElement("x")); }),
              XmlResult::WrongDocument);
    EXPECT_EQ(codeOf([&] { root.SetNamedItem(other.CreateAttribute("x")); }),
              XmlResult::WrongDocument);
    EXPECT_EQ(codeOf([&] { a.RemoveChild(root); }), XmlResult::InvalidArg);
    EXPECT_EQ(codeOf([&] { doc.CreateElement("no good"); }), XmlResult::InvalidArg);
    EXPECT_EQ(codeOf([&] { doc.CreateTextNode("caf\xE9"); }), XmlResult::InvalidArg);
    EXPECT_EQ(codeOf([&] { doc.CreateCDATASection(std::string("a\0b", 3)); }),
              XmlResult::InvalidArg);
    EXPECT_EQ(codeOf([&] { root.SetNodeValue("x"); }), XmlResult::InvalidArg);
    EXPECT_EQ(codeOf([&] { root.SelectSingleNode("@*").SetNodeValue("\xFF"); }),
              XmlResult::Pointer); // no attribute there: an empty handle
    EXPECT_EQ(root.Xml(), "<r><a/><b/></r>");
}

TEST(XmlTree, AppendChildMovesAndRemoveChildDetaches) {
    CXmlDocument doc = Parsed(kLibrary);
    CXmlNode root = doc.DocumentElement();
    CXmlNode two = root.SelectSingleNode("level1[@iid='2']");
    CXmlNode one = root.SelectSingleNode("level1[@iid='1']");

    // Moving keeps the node itself: no copy, no merge with neighbours.
    CXmlNode moved = one.AppendChild(two.SelectSingleNode("level2"));
    EXPECT_EQ(moved.ParentNode(), one);
    EXPECT_EQ(one.Xml(), "<level1 header=\"One\" iid=\"1\"><![CDATA[first]]>"
                         "<level2 header=\"Three\" iid=\"3\"><![CDATA[third]]></level2></level1>");
    EXPECT_EQ(two.Text(), "\n    \n  ");
    two.AppendChild(doc.CreateTextNode("a"));
    two.AppendChild(doc.CreateTextNode("b"));
    CXmlNode a = two.FirstChild().NextSibling().NextSibling();
    EXPECT_EQ(a.Text(), "a");
    EXPECT_EQ(a.NextSibling().Text(), "b");

    CXmlNode removed = root.RemoveChild(two);
    EXPECT_EQ(removed, two);
    EXPECT_FALSE(removed.ParentNode());
    EXPECT_FALSE(removed.IsInDocumentTree());
    EXPECT_TRUE(one.IsInDocumentTree());
    EXPECT_FALSE(root.SelectSingleNode("level1[@iid='2']"));
    EXPECT_EQ(removed.Xml(), "<level1 header=\"Two\" iid=\"2\">\n    \n  ab</level1>");

    // A removed node can go back in.
    root.AppendChild(removed);
    EXPECT_TRUE(removed.IsInDocumentTree());
    EXPECT_EQ(root.SelectSingleNode("level1[last()]"), removed);
}

TEST(XmlTree, RemovedNodesOutliveTheirDocumentObject) {
    CXmlNode cdata;
    CXmlNode item;
    CXmlNode attr;
    {
        CXmlDocument doc = Parsed(kLibrary);
        item = doc.DocumentElement().RemoveChild(doc.SelectSingleNode("//level1[@iid='1']"));
        cdata = item.FirstChild();
        attr = doc.SelectSingleNode("//level2/@header");
        CXmlDocument replacement = Parsed("<other/>");
        doc = replacement;
    }
    EXPECT_EQ(item.Text(), "first");
    EXPECT_EQ(item.Xml(), "<level1 header=\"One\" iid=\"1\"><![CDATA[first]]></level1>");
    EXPECT_EQ(cdata.Xml(), "<![CDATA[first]]>");
    EXPECT_EQ(cdata.ParentNode(), item);
    EXPECT_EQ(attr.Text(), "Three");
    EXPECT_TRUE(attr.OwnerDocumentNode());

    // A node that stays in its tree keeps the whole document readable.
    CXmlNode deep;
    {
        CXmlDocument doc = Parsed(kLibrary);
        deep = doc.SelectSingleNode("//level2");
    }
    EXPECT_EQ(deep.ParentNode().NodeName(), "level1");
    EXPECT_EQ(deep.OwnerDocumentNode().SelectSingleNode("//level1[@iid='3']").Text(), "fourth");
}

TEST(XmlTree, LoadIntoASharedDocumentReplacesItForEveryCopy) {
    CXmlDocument doc = Parsed(kLibrary);
    CXmlDocument copy = doc;
    CXmlNode old = doc.SelectSingleNode("//level2");
    ASSERT_TRUE(copy.LoadBytes("<fresh/>").ok());
    EXPECT_EQ(doc.DocumentElement().NodeName(), "fresh");
    EXPECT_EQ(doc, copy);
    EXPECT_EQ(old.Text(), "third");
    EXPECT_THROW(doc.DocumentElement().AppendChild(old), CXmlError);
}

TEST(XmlXPath, FirstMatchInDocumentOrder) {
    CXmlDocument doc = Parsed(kLibrary);
    CXmlNode hit = doc.SelectSingleNode("//level1[@iid='3']");
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit.GetNamedItem("header"), "Four");
    EXPECT_EQ(*doc.SelectSingleNode("//*[@iid='3']").GetNamedItem("header"), "Three");
    EXPECT_EQ(*doc.SelectSingleNode("//level2 | //level1").GetNamedItem("iid"), "1");
    EXPECT_EQ(*doc.SelectSingleNode("(//level1)[last()]").GetNamedItem("header"), "Four");
    EXPECT_FALSE(doc.SelectSingleNode("//level1[@iid='99']"));
    EXPECT_FALSE(doc.SelectSingleNode("/level0/namespace::*"));

    // The context node is the node asked.
    CXmlNode two = doc.SelectSingleNode("//level1[@iid='2']");
    EXPECT_EQ(*two.SelectSingleNode("level2").GetNamedItem("iid"), "3");
    EXPECT_EQ(two.SelectSingleNode(".."), doc.DocumentElement());
    EXPECT_EQ(two.SelectSingleNode("@header").Text(), "Two");
    EXPECT_EQ(two.SelectSingleNode("following-sibling::level1/text()").Text(), "fourth");

    testing::internal::CaptureStderr();
    EXPECT_THROW(doc.SelectSingleNode("//level1[@iid='3'"), CXmlError);
    EXPECT_THROW(doc.SelectSingleNode("//level1["), CXmlError);
    EXPECT_THROW(doc.SelectSingleNode("count(//level1)"), CXmlError);
    EXPECT_THROW(doc.SelectSingleNode("nosuchfunction()"), CXmlError);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(XmlLifetime, DetachedSubtreesAreFreedWithTheirLastHandle) {
    const std::size_t trees = CXmlDocState::LiveDetachedTrees();
    const std::size_t docs = CXmlDocState::LiveDocuments();
    {
        CXmlDocument doc = Parsed("<r><item><![CDATA[x]]></item></r>");
        CXmlNode item = doc.SelectSingleNode("//item");
        // Each keystroke of the editor swaps the CDATA node of the item.
        for (int i = 0; i < 200; ++i) {
            item.RemoveChild(item.FirstChild());
            item.AppendChild(doc.CreateCDATASection("text " + std::to_string(i)));
        }
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);
        EXPECT_EQ(item.Text(), "text 199");

        // A handle to a descendant keeps a removed subtree; the last one frees it.
        CXmlNode grand = doc.SelectSingleNode("//item/text()");
        doc.DocumentElement().RemoveChild(item);
        item = CXmlNode();
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees + 1);
        EXPECT_EQ(grand.ParentNode().NodeName(), "item");
        grand = CXmlNode();
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);

        // Created nodes that never went in, and replaced attributes, go too.
        doc.CreateElement("unused");
        doc.DocumentElement().SetNamedItem(doc.CreateAttribute("a"));
        doc.DocumentElement().SetNamedItem(doc.CreateAttribute("a"));
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);

        // A subtree built apart joins the tree: nothing is left over.
        CXmlNode branch = doc.CreateElement("branch");
        branch.AppendChild(doc.CreateElement("leaf")).AppendChild(doc.CreateTextNode("t"));
        doc.DocumentElement().AppendChild(branch);
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);

        // A replaced document lives as long as any handle into it.
        CXmlNode old = doc.SelectSingleNode("//leaf");
        ASSERT_TRUE(doc.LoadBytes("<n/>").ok());
        EXPECT_EQ(CXmlDocState::LiveDocuments(), docs + 2);
        old = CXmlNode();
        EXPECT_EQ(CXmlDocState::LiveDocuments(), docs + 2);
        branch = CXmlNode();
        EXPECT_EQ(CXmlDocState::LiveDocuments(), docs + 1);
    }
    EXPECT_EQ(CXmlDocState::LiveDocuments(), docs);
    EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);
}
