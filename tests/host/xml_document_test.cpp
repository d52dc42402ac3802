#include "foundation/xml_document.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

TEST(XmlParse, ReportsFaultsAtTheirOffsets) {
  struct Case {
    const wchar_t* text;
    bool well_formed;
    const wchar_t* error;
  } cases[] = {
      {L"", false, L"Empty document"},
      {L"<a><b></a>", false, L"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
      {L"<a/><b/>", false, L"Root element has sibling"},
      {L"<!-- only a comment -->", false, L"No root element"},
      {L"<a></b></a>", false, L"No start tag for end tag 'b' at offset 3"},
      {L"<a>text", false, L"Element 'a' at offset 0 not ended"},
      {L"<a><b>", false, L"Root element has sibling"},  // b follows the unended a; the check replaces the fault
      {L"<a>< b/></a>", false, L"Incorrect tag name character at offset 3"},
      {L"<a><!-x--></a>", false, L"Incorrect comment tag at offset 3"},
      {L"<a><![X[y]]></a>", false, L"Incorrect tag at offset 3"},
      {L"<a><!Q></a>", false, L"Incorrect ! tag at offset 3"},
      {L"<a><!ELEMENT x></a>", false, L""},  // a skipped declaration carries no message
      {L"<a><!-- open", false, L"Comment at offset 3 unterminated"},
      {L"<a><![CDATA[x", false, L"CDATA Section at offset 3 unterminated"},
      {L"<a><?pi x", false, L"Processing instruction at offset 3 unterminated"},
      {L"<r><a x='></r>", false, L"Element tag at offset 3 unterminated"},
      {L"<a x='>", false, L"No root element"},
      {L"<a></a", false, L"Element end tag at offset 3 unterminated"},
      {L"<r><!DOCTYPE a [<!-- c", false, L"Doctype at offset 3 unterminated"},
      {L"<!DOCTYPE a [<!X>]><a/>", false, L"Incorrect ! tag at offset 0"},
      {L"<a>1 < 2</a>", false, L"Incorrect tag name character at offset 5"},
      {L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [<!ENTITY e \"x\"><!-- > -->]>\r\n<a t='>'>x</a>\r\n", true, L""},
      {L"\uFEFF<a/>", true, L""},  // a byte-order mark is text before the root
      {L"<a>x > y</a>", true, L""},
      {L"<A></a>", true, L""},
  };
  for (const auto& c : cases) {
    XmlDocument doc(c.text);
    EXPECT_EQ(doc.IsWellFormed(), c.well_formed) << c.text;
    EXPECT_EQ(doc.GetParseError(), c.error) << c.text;
  }
}

TEST(XmlParse, NotEndedElementGivesItsChildrenToItsParent) {
  XmlDocument doc(L"<r><a><b/><c/></r>");
  ASSERT_FALSE(doc.IsWellFormed());
  ASSERT_TRUE(doc.FindElement(L"/r/a"));
  const ElementRecord& a = doc.GetRecord(doc.GetCurrentElement());
  EXPECT_TRUE(a.Has(ElementRecord::kNotEnded));
  EXPECT_EQ(a.length, a.start_tag_length);
  EXPECT_EQ(a.first_child, 0u);
  // b and c now follow a under r, one level up.
  ASSERT_TRUE(doc.FindElement(L"b"));
  EXPECT_EQ(doc.GetRecord(doc.GetCurrentElement()).Level(), 1u);
  EXPECT_TRUE(doc.FindElement(L"c"));
  EXPECT_EQ(doc.GetCurrentParent(), doc.GetRecord(doc.GetCurrentElement()).parent);
}

TEST(XmlParse, DeepUnclosedNestingStaysLinear) {
  std::wstring text;
  for (int i = 0; i < 200000; ++i) text += L"<a><b/>";
  XmlDocument doc(text);
  // Every a is unended, so all elements end up side by side at the top.
  EXPECT_EQ(doc.GetParseError(), L"Root element has sibling");
  EXPECT_EQ(doc.GetElementCount(), 400001u);  // record 0 and two per step
  const ElementRecord& last = doc.GetRecord(doc.GetElementCount() - 1);
  EXPECT_EQ(last.parent, 0u);
  EXPECT_EQ(last.Level(), 0u);
}

TEST(XmlNavigate, PathsAndNamesIgnoreCase) {
  XmlDocument doc(
      L"<VoIC version=\"1\">\r\n"
      L" <Settings><InstallDir>C:\\x</InstallDir></Settings>\r\n"
      L" <Product><Item Name=\"a\">1</Item><Item>2</Item><Item Name=\"c\"><Icon/></Item></Product>\r\n"
      L"</VoIC>");
  ASSERT_TRUE(doc.IsWellFormed());

  EXPECT_TRUE(doc.FindElement(L"/*/Product/Item"));
  EXPECT_EQ(doc.GetAttribute(L"name"), L"a");
  EXPECT_TRUE(doc.FindElement(L"/voic/SETTINGS"));
  EXPECT_EQ(doc.GetChildText(L"installdir"), L"C:\\x");
  EXPECT_FALSE(doc.FindElement(L"/*/Product/Missing"));

  struct Case { const wchar_t* path; const wchar_t* want; } cases[] = {
      {L"/*/Product/Item[2]", L"2"},
      {L"/*/Product/Item[3]", L""},  // the element with a child has no text
      {L"/*/Product/Item[4]", nullptr},
      {L"/*/Product/Item[@Name]", L"1"},
      {L"/*/Product/Item[@Name='c']", L"1"},  // the value is not compared
      {L"/*/Product/Item[Icon]", L""},
      {L"/*/Product/Item[Nothing]", nullptr},
      {L"/*/Product//Item", nullptr},  // nothing may follow a double-slash step
      {L"/VoIC Settings", L""},  // a name ends at a space: this is the root
  };
  for (const auto& c : cases) {
    doc.ResetCursor();
    const bool found = doc.FindElement(c.path);
    EXPECT_EQ(found, c.want != nullptr) << c.path;
    if (found && c.want) {
      EXPECT_EQ(doc.GetElementText(), c.want) << c.path;
    }
  }
}

TEST(XmlNavigate, DoubleSlashSearchesForwardInDocumentOrder) {
  XmlDocument doc(L"<r><x><Item>1</Item></x><y/><z><w><item>2</item></w></z></r>");
  ASSERT_TRUE(doc.FindElement(L"//Item"));
  EXPECT_EQ(doc.GetElementText(), L"1");
  ASSERT_TRUE(doc.FindElement(L"//Item"));  // next after the current position
  EXPECT_EQ(doc.GetElementText(), L"2");
  EXPECT_FALSE(doc.FindElement(L"//Item"));
  EXPECT_FALSE(doc.FindElement(L"//r"));  // the cursor stayed on the last Item
  doc.ResetCursor();
  EXPECT_TRUE(doc.FindElement(L"//r"));
}

TEST(XmlNavigate, CursorEnterLeaveAndSiblingText) {
  XmlDocument doc(L"<Settings><A>1</A><B>2</B><A>3</A></Settings>");
  EXPECT_FALSE(doc.EnterElement());
  EXPECT_FALSE(doc.LeaveElement());
  ASSERT_TRUE(doc.FindElement(L"settings"));
  ASSERT_TRUE(doc.EnterElement());
  EXPECT_EQ(doc.GetCurrentElement(), 0u);
  ASSERT_TRUE(doc.FindElement(L"A"));
  EXPECT_EQ(doc.GetElementText(), L"1");
  ASSERT_TRUE(doc.FindElement(L"A"));
  EXPECT_EQ(doc.GetElementText(), L"3");
  EXPECT_EQ(doc.FindSiblingText(L"b"), L"2");
  EXPECT_EQ(doc.FindSiblingText(L"C"), L"");
  EXPECT_EQ(doc.GetCurrentElement(), 0u);
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.GetNodeName(), L"Settings");
  // Child reads always start from the first child.
  EXPECT_EQ(doc.GetChildText(L"A"), L"1");
  EXPECT_EQ(doc.GetChildText(L"A"), L"1");
  EXPECT_EQ(doc.GetCurrentChild(), 0u);
  ASSERT_TRUE(doc.FindChildElement(L"A"));
  ASSERT_TRUE(doc.FindChildElement(L"A"));
  EXPECT_FALSE(doc.FindChildElement(L"A"));
  EXPECT_TRUE(doc.FindChildElement(L"A", true));
}

TEST(XmlText, ElementTextUnescapesTextAndKeepsCData) {
  XmlDocument doc(L"<a> x &amp; y <!-- c --><![CDATA[<b>&amp;]]></a>");
  ASSERT_TRUE(doc.FindElement(L"a"));
  EXPECT_EQ(doc.GetElementText(), L" x & y <b>&amp;");

  struct Case { const wchar_t* content; const wchar_t* want; } cases[] = {
      {L"&#65;&#x41;", L"AA"},
      {L"&#123456789;", L"&#123456789;"},  // eight digits
      {L"&foo;", L"&foo;"},
      {L"&#0;", L"&#0;"},
      {L"&#X41;", L"&#X41;"},  // only a lower-case x
      {L"&lt;&gt;&apos;&quot;&amp;amp;", L"<>'\"&amp;"},
      {L"&amp", L"&amp"},
      {L"&#x10041;", L"A"},  // modulo 65536
      {L"  ", L"  "},
  };
  for (const auto& c : cases) {
    XmlDocument d(std::wstring(L"<a>") + c.content + L"</a>");
    ASSERT_TRUE(d.FindElement(L"a"));
    EXPECT_EQ(d.GetElementText(), c.want) << c.content;
  }
}

TEST(XmlText, AttributesAndNodeNames) {
  XmlDocument doc(L"<?xml version='1.0' encoding=\"UTF-8\"?><!DOCTYPE root SYSTEM \"x\">"
                  L"<root a = 'x &lt; y' b=\"it's\" checked c=bare><!--note-->t<![CDATA[d]]></root>");
  ASSERT_TRUE(doc.FindElement(L"root"));
  EXPECT_EQ(doc.GetAttribute(L"A"), L"x < y");
  EXPECT_EQ(doc.GetAttribute(L"b"), L"it's");
  EXPECT_EQ(doc.GetAttribute(L"checked"), L"checked");
  EXPECT_EQ(doc.GetAttribute(L"c"), L"bare");
  EXPECT_EQ(doc.GetAttribute(L"none"), L"");

  ASSERT_TRUE(doc.FindNode(kXmlComment | kXmlText | kXmlCData));
  EXPECT_EQ(doc.GetNodeName(), L"#comment");
  ASSERT_TRUE(doc.FindNode(kXmlComment | kXmlText | kXmlCData));
  EXPECT_EQ(doc.GetNodeName(), L"#text");
  ASSERT_TRUE(doc.FindNode(kXmlComment | kXmlText | kXmlCData));
  EXPECT_EQ(doc.GetNodeName(), L"#cdata-section");
  EXPECT_FALSE(doc.FindNode(kXmlComment | kXmlText | kXmlCData));

  doc.ResetCursor();
  ASSERT_TRUE(doc.FindNode(kXmlProcessingInstruction));
  EXPECT_EQ(doc.GetNodeName(), L"xml");
  EXPECT_EQ(doc.GetAttribute(L"encoding"), L"UTF-8");
  ASSERT_TRUE(doc.FindNode(kXmlDocumentType));
  EXPECT_EQ(doc.GetNodeName(), L"root");
  EXPECT_TRUE(doc.FindElement(L"root"));  // an element move clears the node
  EXPECT_EQ(doc.GetNodeName(), L"root");
}

TEST(XmlWriter, AppendsItemsWithExactLayout) {
  XmlDocument doc;
  ASSERT_TRUE(doc.AppendElement(L"Item", L""));
  ASSERT_TRUE(doc.SetAttribute(doc.GetCurrentElement(), L"Name", L"Empty"));
  ASSERT_TRUE(doc.AppendElement(L"Item", L"a<b & \"c\"\x01\x02"));
  ASSERT_TRUE(doc.SetAttribute(doc.GetCurrentElement(), L"Name", L"q\"'"));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.GetDocumentText(),
            L"<Item Name=\"Empty\"/>\r\n"
            L"<Item Name=\"q&quot;&apos;\">a&lt;b &amp; \"c\"&#x1;?</Item>\r\n");
  // The index follows the edits.
  doc.ResetCursor();
  ASSERT_TRUE(doc.FindElement(L"Item"));
  EXPECT_EQ(doc.GetAttribute(L"Name"), L"Empty");
  ASSERT_TRUE(doc.FindElement(L"Item"));
  EXPECT_EQ(doc.GetElementText(), L"a<b & \"c\"\x01?");
  EXPECT_EQ(doc.GetAttribute(L"Name"), L"q\"'");
}

TEST(XmlWriter, InsertsIntoParentsAndReplacesAttributes) {
  struct Case { const wchar_t* before; const wchar_t* after; } cases[] = {
      {L"<r/>", L"<r>\r\n<Item>v</Item>\r\n</r>"},
      {L"<r></r>", L"<r>\r\n<Item>v</Item>\r\n</r>"},
      {L"<r>\r\n<a/>\r\n</r>", L"<r>\r\n<a/>\r\n<Item>v</Item>\r\n</r>"},
      {L"<r x='1' />", L"<r x='1' >\r\n<Item>v</Item>\r\n</r>"},
  };
  for (const auto& c : cases) {
    XmlDocument doc(c.before);
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement(L"Item", L"v")) << c.before;
    EXPECT_EQ(doc.GetDocumentText(), c.after) << c.before;
    // Reparsing the written text gives the same tree as the edited index.
    XmlDocument again(doc.GetDocumentText().View());
    EXPECT_TRUE(again.IsWellFormed()) << c.before;
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetChildText(L"Item"), L"v") << c.before;
    EXPECT_EQ(doc.GetRecord(doc.GetCurrentElement()).length, again.GetRecord(1).length) << c.before;
  }

  XmlDocument doc(L"<r a=\"1\" b c=x><s/></r>");
  ASSERT_TRUE(doc.FindElement(L"r"));
  const uint32_t r = doc.GetCurrentElement();
  ASSERT_TRUE(doc.SetAttribute(r, L"A", L"long value"));
  ASSERT_TRUE(doc.SetAttribute(r, L"b", L"2"));
  ASSERT_TRUE(doc.SetAttribute(r, L"c", L"3"));
  ASSERT_TRUE(doc.SetAttribute(r, L"d", L"<"));
  EXPECT_EQ(doc.GetDocumentText(), L"<r a=\"long value\" b=\"2\" c=\"3\" d=\"&lt;\"><s/></r>");
  EXPECT_TRUE(doc.FindChildElement(L"s"));
  EXPECT_EQ(doc.GetNodeName(), L"r");
  EXPECT_TRUE(doc.EnterElement());
  EXPECT_EQ(doc.GetNodeName(), L"s");
}

class XmlLoadFile : public ::testing::Test {
 protected:
  std::string path_ = ::testing::TempDir() + "xml_load_file_test.xml";
  void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  void TearDown() override { std::remove(path_.c_str()); }
  VoString Path() const { return VoString::FromUtf8(path_); }
};

TEST_F(XmlLoadFile, ReadsUtf8AndKeepsTheByteOrderMark) {
  Write("\xEF\xBB\xBF<a n=\"\xC3\xA9\">\xE2\x82\xAC</a>");
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(Path()));
  EXPECT_EQ(doc.GetDocumentText()[0], 0xFEFF);
  ASSERT_TRUE(doc.FindElement(L"a"));
  EXPECT_EQ(doc.GetAttribute(L"n"), L"\u00E9");
  EXPECT_EQ(doc.GetElementText(), L"\u20AC");
}

TEST_F(XmlLoadFile, EmptyAndMissingFiles) {
  Write("");
  XmlDocument doc(L"<kept/>");
  EXPECT_FALSE(doc.LoadFile(Path()));
  EXPECT_EQ(doc.GetParseError(), L"Empty document");

  XmlDocument untouched(L"<kept/>");
  EXPECT_FALSE(untouched.LoadFile(Path() + L".missing"));
  EXPECT_EQ(untouched.GetDocumentText(), L"<kept/>");
  EXPECT_EQ(untouched.GetParseError(), L"");
}

}  // namespace
