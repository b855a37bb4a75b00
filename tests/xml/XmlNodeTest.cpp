// Node handles of the XML layer: text, serialisation, attributes, tree edits,
// XPath, refused edits, and how long removed and replaced trees live.

#include "support/Loaded.h"
#include "xml/XmlDocState.h"

#include <gtest/gtest.h>

#include <functional>

static const char* kLibrary =
    "<level0 header=\"Lib\" iid=\"0\">\n  <level1 header=\"One\" iid=\"1\">"
    "<![CDATA[first]]></level1>\n  <level1 header=\"Two\" iid=\"2\">\n    "
    "<level2 header=\"Three\" iid=\"3\"><![CDATA[third]]></level2>\n  </level1>\n"
    "  <level1 header=\"Four\" iid=\"3\"><![CDATA[fourth]]></level1>\n</level0>";

TEST(XmlNode, TextNamesTypesNavigationAndXPath) {
    const CXmlDocument doc = Parsed("<!--top--><r a=\"1 &lt; 2 &amp; &#xE9;\">a<![CDATA[<b>]]><x>c"
                                    "<!--no--><?pi no?><y><![CDATA[d]]>e</y></x>&amp;f<e/></r>");
    const CXmlNode top = doc.DocumentNode(), comment = top.FirstChild(), r = comment.NextSibling();
    const CXmlNode text = r.FirstChild(), attr = r.SelectSingleNode("@a"),
                   e = r.SelectSingleNode("e");
    // Type, name and text: character data of text and CDATA below, in
    // document order. XPath gives the first match in document order, from
    // the context node asked, and never a namespace node.
    std::string described;
    for (const CXmlNode& n :
         {top, comment, r, text, text.NextSibling(), r.SelectSingleNode("x/y"), attr,
          doc.SelectSingleNode("//y | //e | //x"), text.SelectSingleNode("following-sibling::*"),
          e.SelectSingleNode(".."), doc.SelectSingleNode("//z"),
          r.SelectSingleNode("namespace::*")})
        described +=
            n ? std::to_string(int(n.NodeType())) + " " + n.NodeName() + " " + n.Text() + "|"
              : "-|";
    EXPECT_EQ(described, "9 #document a<b>cde&f|8 #comment top|1 r a<b>cde&f|3 #text a|"
                         "4 #cdata-section <b>|1 y de|2 a 1 < 2 & \xC3\xA9|1 x cde|1 x cde|"
                         "1 r a<b>cde&f|-|-|");
    EXPECT_TRUE(r == doc.DocumentElement() && r.ParentNode() == top &&
                r.OwnerDocumentNode() == top && !top.ParentNode() && !e.NextSibling() &&
                !e.FirstChild() && !attr.ParentNode() && !attr.FirstChild());
    testing::internal::CaptureStderr();
    for (const char* bad : {"//x[@a='3'", "count(//x)", "nosuchfunction()"})
        EXPECT_THROW(doc.SelectSingleNode(bad), CXmlError) << bad;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(XmlNode, AttributesReplacedAndBadEditsThrowTheirCodeAndChangeNothing) {
    CXmlDocument named = Parsed("<e header=\"H\" x=\"1\"/>");
    CXmlNode e = named.DocumentElement(), attr = e.SelectSingleNode("@x"),
             old = e.SelectSingleNode("@header");
    // A name that exists is replaced, at the end, as a rename does; the old
    // handle still reads. Values are taken literally, not as markup. The form
    // written: double quotes, raw UTF-8, no declaration (text and CDATA: the
    // loader's tests).
    CXmlNode header = named.CreateAttribute("header");
    header.SetNodeValue("caf\xC3\xA9 \"q\" <&>");
    e.SetNamedItem(header);
    attr.SetNodeValue("a&amp;b<");
    EXPECT_EQ(named.DocumentNode().Xml() + *e.GetNamedItem("x") + old.Text(),
              "<e x=\"a&amp;amp;b&lt;\" header=\"caf\xC3\xA9 &quot;q&quot; &lt;&amp;&gt;\"/>\n"
              "a&amp;b<H");
    EXPECT_TRUE(!e.GetNamedItem("missing") && !old.IsInDocumentTree() && e.HasAttributeMap() &&
                !attr.HasAttributeMap());
    CXmlDocument doc = Parsed("<r x=\"1\"><a/><b/></r>"), other;
    CXmlNode root = doc.DocumentElement(), a = root.FirstChild(), empty;
    // The last digit of the code thrown: 3 Pointer, 1 HierarchyRequest (one
    // root element only, no node inside itself), 2 WrongDocument, 7 InvalidArg
    // (also an attribute in use elsewhere, and attributes of non-elements).
    std::string codes;
    for (const std::function<void()>& edit : std::initializer_list<std::function<void()>>{
             [&] { empty.Text(); }, [&] { root.AppendChild(empty); },
             [&] { root.SelectSingleNode("@*").SetNodeValue("\xFF"); },
             [&] { doc.AppendChild(doc.CreateElement("second")); },
             [&] { doc.AppendChild(doc.CreateTextNode("t")); }, [&] { a.AppendChild(root); },
             [&] { a.AppendChild(a); }, [&] { root.AppendChild(other.CreateElement("x")); },
             [&] { root.SetNamedItem(other.CreateAttribute("x")); }, [&] { a.RemoveChild(root); },
             [&] { doc.CreateElement("no good"); }, [&] { doc.CreateTextNode("caf\xE9"); },
             [&] { doc.CreateCDATASection(std::string("a\0b", 3)); },
             [&] { root.SetNodeValue("x"); },
             [&] { doc.CreateElement("o").SetNamedItem(root.SelectSingleNode("@x")); },
             [&] { root.SelectSingleNode("@x").SetNamedItem(doc.CreateAttribute("y")); }})
        try {
            edit();
            codes += "-";
        } catch (const CXmlError& error) {
            codes += std::to_string(static_cast<std::uint32_t>(error.Code()) % 16);
        }
    EXPECT_EQ(codes + root.Xml(), "3371111227777777<r x=\"1\"><a/><b/></r>");
}

TEST(XmlNode, MovedRemovedAndReplacedNodesLiveAsLongAsTheirHandles) {
    const std::size_t trees = CXmlDocState::LiveDetachedTrees(),
                      docs = CXmlDocState::LiveDocuments();
    CXmlNode item, cdata, attr, four, fresh;
    {
        CXmlDocument doc = Parsed(kLibrary), copy = doc;
        CXmlNode root = doc.DocumentElement(), one = root.FirstChildElement(),
                 two = one.NextSiblingElement();
        // Moving keeps the node itself: no copy, no merge with neighbours.
        one.AppendChild(two.SelectSingleNode("level2"));
        two.AppendChild(doc.CreateTextNode("a"));
        two.AppendChild(doc.CreateTextNode("b"));
        EXPECT_EQ(two.SelectSingleNode("text()[last()]").Text(), "b");
        const CXmlNode removed = root.RemoveChild(two);
        EXPECT_TRUE(removed == two && !removed.ParentNode() && !removed.IsInDocumentTree() &&
                    CXmlDocState::LiveDetachedTrees() == trees + 1);
        root.AppendChild(removed); // a removed node can go back in
        EXPECT_TRUE(removed.IsInDocumentTree() &&
                    root.SelectSingleNode("level1[last()]") == removed);
        // Built apart and joined, created and never used, replaced, or
        // swapped at each keystroke: no subtree is left over.
        CXmlNode branch = root.AppendChild(doc.CreateElement("branch"));
        branch.AppendChild(doc.CreateElement("leaf")).AppendChild(doc.CreateTextNode("t"));
        doc.CreateElement("unused");
        root.SetNamedItem(doc.CreateAttribute("a"));
        root.SetNamedItem(doc.CreateAttribute("a"));
        four = root.SelectSingleNode("level1[@iid='3']");
        for (int i = 0; i < 200; ++i) {
            four.RemoveChild(four.FirstChild());
            four.AppendChild(doc.CreateCDATASection("text " + std::to_string(i)));
        }
        EXPECT_EQ(CXmlDocState::LiveDetachedTrees(), trees);

        item = root.RemoveChild(one);
        cdata = item.FirstChild();
        attr = two.SelectSingleNode("@header");
        // Loading into a copy replaces the document for every copy; old nodes cannot join it.
        ASSERT_TRUE(copy.LoadBytes("<fresh/>").ok());
        fresh = doc.DocumentElement();
        EXPECT_THROW(fresh.AppendChild(four), CXmlError);
    }
    // A removed subtree, and a replaced document, outlive the document object.
    EXPECT_EQ(item.Xml(),
              "<level1 header=\"One\" iid=\"1\"><![CDATA[first]]><level2 header=\"Three\" "
              "iid=\"3\"><![CDATA[third]]></level2></level1>");
    EXPECT_TRUE(cdata.ParentNode() == item && attr.Text() == "Two" && four.Text() == "text 199" &&
                fresh.NodeName() == "fresh");
    EXPECT_EQ(four.OwnerDocumentNode().SelectSingleNode("//level1[@iid='2']").Text() + "|" +
                  four.ParentNode().NodeName(),
              "\n    \n  ab|level0");
    // The last handle into a removed subtree or a replaced document frees it:
    // removed subtrees and documents alive beyond those before, per handle let go.
    std::string counts;
    for (CXmlNode* handle : {&item, &cdata, &attr, &four, &fresh}) {
        *handle = CXmlNode();
        counts += std::to_string(CXmlDocState::LiveDetachedTrees() - trees) +
                  std::to_string(CXmlDocState::LiveDocuments() - docs) + " ";
    }
    EXPECT_EQ(counts, "12 02 02 01 00 ");
}
