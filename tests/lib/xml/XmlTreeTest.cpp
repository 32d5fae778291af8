#include "XmlFixture.h"
#include "lib/ui/UiTestUtil.h"
#include "xml/XmlTree.h"
#include <string>
#include <vector>

namespace {

// Writes the tree the way callers do: measure, allocate count + 1, fill.
std::string PutToString(const XmlTree& tree)
{
    int count = tree.Put(nullptr);
    std::vector<char> buf(count + 1, '\x7f');
    char* out = buf.data();
    int written = tree.Put(out);
    EXPECT_EQ(count, written);
    EXPECT_EQ(buf.data() + count, out);
    EXPECT_EQ('\x7f', buf[count]);   // no terminator is written
    return std::string(buf.data(), count);
}

std::string Str(const char* s)
{
    return s ? std::string("[") + s + "]" : std::string("<null>");
}

// Compares two levels element by element: names, bodies (absent differs from empty),
// attributes in order, child levels.
void ExpectSameLevel(const XmlTree* a, const XmlTree* b)
{
    ASSERT_EQ(a == nullptr || a->IsEmpty(), b == nullptr || b->IsEmpty());
    if (!a || a->IsEmpty())
        return;
    ASSERT_EQ(a->GetCount(), b->GetCount());
    POS pa = a->GetHeadPos(), pb = b->GetHeadPos();
    while (pa) {
        XmlTreeItem* ia = a->GetItem(pa);
        XmlTreeItem* ib = b->GetItem(pb);
        SCOPED_TRACE(Str(ia->GetName()));
        EXPECT_EQ(Str(ia->GetName()), Str(ib->GetName()));
        EXPECT_EQ(Str(ia->GetBody()), Str(ib->GetBody()));
        VmList& la = ia->GetListAttr();
        VmList& lb = ib->GetListAttr();
        EXPECT_EQ(la.GetCount(), lb.GetCount());
        for (POS x = la.GetHeadPos(), y = lb.GetHeadPos(); x && y;) {
            XmlAttrib* xa = static_cast<XmlAttrib*>(la.GetNext(x));
            XmlAttrib* ya = static_cast<XmlAttrib*>(lb.GetNext(y));
            EXPECT_EQ(Str(xa->GetAttribName()), Str(ya->GetAttribName()));
            EXPECT_EQ(Str(xa->GetAttribValue()), Str(ya->GetAttribValue()));
        }
        ExpectSameLevel(a->GetSubTree(pa), b->GetSubTree(pb));
        a->GetNext(pa);
        b->GetNext(pb);
    }
}

// Parses quietly; returns the error id (0 on success).
int ParseQuiet(XmlTree& tree, const char* text)
{
    tree.SetQuiet(true);
    const char* p = text;
    bool ok = tree.Get(NULL, p);
    EXPECT_EQ(ok, tree.GetErrorId() == 0);
    return tree.GetErrorId();
}

XmlTreeItem* Nth(const XmlTree* tree, int n)
{
    POS pos = tree ? tree->FindIndex(n) : nullptr;
    return pos ? tree->GetItem(pos) : nullptr;
}

XmlTree* NthChild(const XmlTree* tree, int n)
{
    POS pos = tree ? tree->FindIndex(n) : nullptr;
    return pos ? tree->GetSubTree(pos) : nullptr;
}

class XmlTreeTest : public ::testing::Test {
protected:
    XmlAppInfo m_app;
};

}  // namespace

TEST_F(XmlTreeTest, BuiltTreeWritesReadsAndWritesAgainIdentically)
{
    XmlTree tree;
    ASSERT_TRUE(tree.SetProlog("<?xml version=\"1.0\"?>\r\n<!-- settings -->"));
    XmlTreeItem* root = tree.AddItem("KEY");
    ASSERT_NE(nullptr, root);
    root->AddAttrib("Name", "Panorel QV");
    XmlTree* level = tree.AddSubTree();
    ASSERT_NE(nullptr, level);
    level->AddItem("KEY")->AddAttrib("Name", "Empty");
    XmlTreeItem* data = level->AddItem("DATA");
    data->AddAttrib("Name", "");
    data->AddAttrib("Type", "REG_SZ");
    data->AddAttrib("Value", "say \"hi\"");   // double quotes inside: written in single ones
    data = level->AddItem("DATA");
    data->AddAttrib("Value", "it's & <fine>\r\nsecond line");
    level->AddItem("Text", "  body with  spaces\r\n and a line ");
    level->AddItem("EmptyBody", "");
    level->AddItem("NoBody");
    level->AddItem("Deep");
    XmlTree* deep = level->AddSubTree();
    deep->AddItem("_a-b.c9", "x");
    deep->AddItem("Deeper");
    deep->AddSubTree()->AddItem("Leaf")->AddAttrib("k", "v");
    tree.AddItem("Second")->AddAttrib("n", "2");   // further top-level elements are kept

    std::string text = PutToString(tree);
    XmlTree back;
    const char* p = text.c_str();
    ASSERT_TRUE(back.Get(NULL, p));
    EXPECT_EQ(text.c_str() + text.size(), p);
    EXPECT_EQ(Str(tree.GetProlog()), Str(back.GetProlog()));
    ExpectSameLevel(&tree, &back);
    EXPECT_EQ(text, PutToString(back));
}

TEST_F(XmlTreeTest, WrittenLayoutIsTabsAndCrLf)
{
    XmlTree tree;   // no prolog: the declaration is written
    XmlTreeItem* key = tree.AddItem("KEY");
    key->AddAttrib("Name", "P");
    XmlTree* sub = tree.AddSubTree();
    XmlTreeItem* data = sub->AddItem("DATA");
    data->AddAttrib("Name", "");
    data->AddAttrib("Type", "REG_DWORD");
    sub->AddItem("E", "");
    sub->AddItem("T", "a&amp;b");
    EXPECT_EQ("<?xml version=\"1.0\"?>\r\n"
              "<KEY Name=\"P\">\r\n"
              "\t<DATA Name=\"\" Type=\"REG_DWORD\"/>\r\n"
              "\t<E></E>\r\n"
              "\t<T>a&amp;b</T>\r\n"
              "</KEY>\r\n",
              PutToString(tree));
    // An empty level reads as nothing: the element is written without content.
    XmlTree lone;
    lone.AddItem("A");
    ASSERT_NE(nullptr, lone.AddSubTree());
    EXPECT_EQ("<?xml version=\"1.0\"?>\r\n<A/>\r\n", PutToString(lone));
}

TEST_F(XmlTreeTest, ReadTreeIsWrittenBackByteForByte)
{
    const char* doc = "<?xml version=\"1.0\"?>\r\n"
                      "<KEY Name=\"Panorel QV\">\r\n"
                      "\t<KEY Name=\"Sub\">\r\n"
                      "\t\t<DATA Name=\"x\" Type=\"REG_BINARY\" Value=\"01ABFF\"/>\r\n"
                      "\t</KEY>\r\n"
                      "\t<E></E>\r\n"
                      "</KEY>\r\n";
    XmlTree tree;
    ASSERT_EQ(0, ParseQuiet(tree, doc));
    EXPECT_STREQ("<?xml version=\"1.0\"?>", tree.GetProlog());
    EXPECT_EQ(std::string(doc), PutToString(tree));
    XmlTreeItem* e = Nth(NthChild(&tree, 0), 1);
    ASSERT_NE(nullptr, e);
    EXPECT_STREQ("", e->GetBody());
    XmlTreeItem* d = Nth(NthChild(NthChild(&tree, 0), 0), 0);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(nullptr, d->GetBody());
}

TEST_F(XmlTreeTest, PrologIsEveryLineBeforeTheFirstElementLine)
{
    struct Case {
        const char* doc;
        const char* prolog;
        int items;
    } cases[] = {
        {"<?xml version=\"1.0\"?>\n<A/>", "<?xml version=\"1.0\"?>", 1},
        {"<?xml?>\r\n<!DOCTYPE x>\r\n\r\n<A/>\r\n", "<?xml?>\r\n<!DOCTYPE x>\r\n", 1},
        {"<A/>", "", 1},
        {"<?xml?>\n  <!-- c --> < A/>", "<?xml?>", 1},
        // One line: declaration and root together are all prolog.
        {"<?xml version=\"1.0\"?><KEY Name=\"P\"/>", "<?xml version=\"1.0\"?><KEY Name=\"P\"/>", 0},
        // The element on the declaration's line is prolog; its end tag line is too.
        {"<?xml?><A>\r\n</A>", "<?xml?><A>\r\n</A>", 0},
        // An element inside a comment does not start the elements; the line that ends the
        // comment is blank after it, so it still belongs to the prolog.
        {"<?xml?>\n<!--\n<B/>\n-->\n<A/>", "<?xml?>\n<!--\n<B/>\n-->", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.doc);
        XmlTree tree;
        EXPECT_EQ(0, ParseQuiet(tree, c.doc));
        EXPECT_EQ(Str(c.prolog), Str(tree.GetProlog()));
        EXPECT_EQ(c.items, tree.GetCount());
    }
}

TEST_F(XmlTreeTest, TextIsTakenLiterally)
{
    XmlTree tree;
    ASSERT_EQ(0, ParseQuiet(tree, "<?xml?>\n<R>\n"
                                  "<A q='say \"x\"' d=\"it's\" e=\"&amp;&#65;\">&lt;b&gt; &amp; x;</A>\n"
                                  "<B>\n  lead and trail  \n</B>\n"
                                  "</R>"));
    XmlTreeItem* a = Nth(NthChild(&tree, 0), 0);
    XmlTreeItem* b = Nth(NthChild(&tree, 0), 1);
    ASSERT_TRUE(a && b);
    char buf[64];
    EXPECT_EQ(7, a->GetAttrib("q", buf));
    EXPECT_STREQ("say \"x\"", buf);
    a->GetAttrib("d", buf);
    EXPECT_STREQ("it's", buf);
    a->GetAttrib("e", buf);
    EXPECT_STREQ("&amp;&#65;", buf);
    EXPECT_STREQ("&lt;b&gt; &amp; x;", a->GetBody());
    EXPECT_STREQ("\n  lead and trail  \n", b->GetBody());
}

TEST_F(XmlTreeTest, StartTagOverSeveralLinesAndCommentsBetweenTokens)
{
    const char* doc = "<?xml?>\n"
                      "<!-- before root -->\n"
                      "<!-- one --><!-- two -->\n"
                      "< R <!--c--> a\n"
                      "  =\n"
                      "  'v1'\n"
                      "  <!-- c --> b = \"v2\" <!--c--> >\n"
                      "  <!-- between --> <X/> <!--c--> <Y <!--c--> / <!--c--> >\n"
                      "  <Z>t</ <!--c--> Z >\n"
                      "<!----> </R> <!--->\n";
    XmlTree tree;
    ASSERT_EQ(0, ParseQuiet(tree, doc));
    XmlTreeItem* r = Nth(&tree, 0);
    ASSERT_NE(nullptr, r);
    char buf[8];
    r->GetAttrib("a", buf);
    EXPECT_STREQ("v1", buf);
    r->GetAttrib("b", buf);
    EXPECT_STREQ("v2", buf);
    XmlTree* kids = NthChild(&tree, 0);
    ASSERT_NE(nullptr, kids);
    ASSERT_EQ(3, kids->GetCount());
    EXPECT_STREQ("Y", Nth(kids, 1)->GetName());
    EXPECT_STREQ("t", Nth(kids, 2)->GetBody());
}

TEST_F(XmlTreeTest, ShortestCommentIsFiveCharacters)
{
    XmlTree tree;
    EXPECT_EQ(0, ParseQuiet(tree, "<?xml?>\n<A/><!-->"));
    XmlTree tree1;
    EXPECT_EQ(0, ParseQuiet(tree1, "<?xml?>\n<A/><!--->"));
    XmlTree tree2;
    EXPECT_EQ(XmlTree::ErrUnclosedComment, ParseQuiet(tree2, "<?xml?>\n<A/><!-- ->"));
}

TEST_F(XmlTreeTest, GetAttribIsCaseSensitiveAndTakesTheFirst)
{
    XmlTreeItem item;
    item.AddAttrib("Name", "first");
    item.AddAttrib("Name", "second");
    item.AddAttrib("name", "lower");
    item.AddAttrib("Null", nullptr);
    EXPECT_EQ(5, item.GetAttrib("Name", nullptr));
    char buf[16];
    memset(buf, 'x', sizeof(buf));
    EXPECT_EQ(5, item.GetAttrib("Name", buf));
    EXPECT_STREQ("first", buf);
    item.GetAttrib("name", buf);
    EXPECT_STREQ("lower", buf);
    EXPECT_EQ(0, item.GetAttrib("NAME", nullptr));
    EXPECT_EQ(0, item.GetAttrib(nullptr, nullptr));
    EXPECT_EQ(0, item.GetAttrib("Null", buf));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(4, item.GetListAttr().GetCount());
}

TEST_F(XmlTreeTest, StringsLongerThanTheLimitAreRefused)
{
    std::string longest(XML_MAX_STR, 'a');
    std::string tooLong(XML_MAX_STR + 1, 'a');
    XmlTreeItem item;
    EXPECT_TRUE(item.SetName("N"));
    EXPECT_FALSE(item.SetName(tooLong.c_str()));
    EXPECT_STREQ("N", item.GetName());   // unchanged
    EXPECT_TRUE(item.SetBody(longest.c_str()));
    EXPECT_FALSE(item.SetBody(tooLong.c_str()));
    EXPECT_EQ(longest.size(), strlen(item.GetBody()));
    EXPECT_EQ(nullptr, item.AddAttrib("v", tooLong.c_str()));
    EXPECT_EQ(0, item.GetListAttr().GetCount());
    XmlTree tree;
    EXPECT_EQ(nullptr, tree.AddItem(tooLong.c_str()));
    EXPECT_EQ(0, tree.GetCount());
    EXPECT_FALSE(tree.SetProlog(tooLong.c_str()));

    std::string doc = "<?xml?>\n<A v=\"" + longest + "\"/>";
    XmlTree ok;
    EXPECT_EQ(0, ParseQuiet(ok, doc.c_str()));
    doc = "<?xml?>\n<A v=\"" + tooLong + "\"/>";
    XmlTree bad;
    EXPECT_EQ(XmlTree::ErrSyntax, ParseQuiet(bad, doc.c_str()));
    doc = "<?xml?>\n<A>" + tooLong + "</A>";
    XmlTree badBody;
    EXPECT_EQ(XmlTree::ErrSyntax, ParseQuiet(badBody, doc.c_str()));
}

TEST_F(XmlTreeTest, WritabilityOfQuotesAndAngles)
{
    EXPECT_TRUE(XmlTree::IsValueWritable("plain"));
    EXPECT_TRUE(XmlTree::IsValueWritable("\"only double\""));
    EXPECT_TRUE(XmlTree::IsValueWritable("only 'single'"));
    EXPECT_FALSE(XmlTree::IsValueWritable("both \" and '"));
    EXPECT_TRUE(XmlTree::IsValueWritable(nullptr));
    EXPECT_TRUE(XmlTree::IsBodyWritable("a > b & c"));
    EXPECT_FALSE(XmlTree::IsBodyWritable("a < b"));
    // Values with one kind of quote come back unchanged.
    XmlTree tree;
    XmlTreeItem* item = tree.AddItem("A");
    item->AddAttrib("d", "\"C:\\Program Files\\x.exe\" \"%1\"");
    item->AddAttrib("s", "it's");
    std::string text = PutToString(tree);
    XmlTree back;
    ASSERT_EQ(0, ParseQuiet(back, text.c_str()));
    ExpectSameLevel(&tree, &back);
}

// Each malformed document: the error, the line reported and a piece of the text at the error.
TEST_F(XmlTreeTest, MalformedDocumentsReportErrorAndLine)
{
    struct Case {
        const char* doc;
        int error;
        int line;
    } cases[] = {
        {"<?xml?>\n<A/>\n<!-- open", XmlTree::ErrUnclosedComment, 3},
        {"<?xml?>\n<A/>\ntrailing", XmlTree::ErrSyntax, 3},
        {"<?xml?>\n<A/>\n</A>", XmlTree::ErrSyntax, 3},
        {"<?xml?>\n<A x/>", XmlTree::ErrMissingEq, 2},
        {"<?xml?>\n<A x=v/>", XmlTree::ErrUnquoted, 2},
        {"<?xml?>\n<A x=\"v/>\n\n", XmlTree::ErrMissingQuote, 2},
        {"<?xml?>\n<A x='v\"/>", XmlTree::ErrMissingQuote, 2},
        {"<?xml?>\n<A>\ntext", XmlTree::ErrMissingEndTag, 2},
        {"<?xml?>\n<A / x>", XmlTree::ErrUnexpected, 2},
        {"<?xml?>\n<A x='1' ?>", XmlTree::ErrUnexpected, 2},
        {"<?xml?>\n<A>text<B/></A>", XmlTree::ErrUnexpected, 2},
        {"<?xml?>\n<A>\n<B>\n</C>\n</A>", XmlTree::ErrUnexpected, 4},
        {"<?xml?>\n<A>\n<B/>\n</Ab>", XmlTree::ErrUnexpected, 4},
        {"<?xml?>\n<A>\n<B/>\n</ A", XmlTree::ErrUnexpected, 4},
        {"<?xml?>\n<A>\n<B/>\n", XmlTree::ErrUnexpected, 4},
        // Line feeds inside attribute values, bodies and comments count.
        {"<?xml?>\n<A v='1\n2\n3'>\n<!--\n-->\n<B>\n\n</B>\n</X>", XmlTree::ErrUnexpected, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.doc);
        XmlTree tree;
        EXPECT_EQ(c.error, ParseQuiet(tree, c.doc));
        EXPECT_EQ(c.line, tree.GetErrorLine());
    }
}

TEST_F(XmlTreeTest, ElementsBeforeAnErrorStay)
{
    XmlTree tree;
    EXPECT_EQ(XmlTree::ErrUnexpected, ParseQuiet(tree, "<?xml?>\n<R>\n<A/>\n<B>b</B>\n<C x='1'></D>\n</R>"));
    XmlTree* kids = NthChild(&tree, 0);
    ASSERT_NE(nullptr, kids);
    ASSERT_EQ(3, kids->GetCount());
    EXPECT_STREQ("b", Nth(kids, 1)->GetBody());
    char buf[4];
    EXPECT_EQ(1, Nth(kids, 2)->GetAttrib("x", buf));
}

TEST_F(XmlTreeTest, ErrorIsShownWithLineWordAndTwentyCharacters)
{
    uitest::BoxAnswerer box(XML_TEST_PRODUCT, IDOK);
    XmlTree tree;
    const char* doc = "<?xml?>\n<A>\n<B/>\n</Wrong-name-that-is-long>";
    const char* p = doc;
    EXPECT_FALSE(tree.Get(NULL, p));
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ("Error parsing XML document in line 4:\n\nUnexpected: Wrong-name-that-is-l", box.Text());
    EXPECT_EQ(strstr(doc, "Wrong"), p);   // the text pointer stops at the error
}

TEST_F(XmlTreeTest, NullTextFailsWithoutABox)
{
    XmlTree tree;
    const char* p = nullptr;
    EXPECT_FALSE(tree.Get(NULL, p));
    EXPECT_NE(0, tree.GetErrorId());
}

TEST_F(XmlTreeTest, GetEmptiesTheTreeFirst)
{
    XmlTree tree;
    tree.AddItem("Old");
    tree.SetProlog("old");
    ASSERT_EQ(0, ParseQuiet(tree, "<?xml?>\n<New/>"));
    ASSERT_EQ(1, tree.GetCount());
    EXPECT_STREQ("New", Nth(&tree, 0)->GetName());
    EXPECT_STREQ("<?xml?>", tree.GetProlog());
}

// Every prefix of a valid document ends on the last readable byte: each either parses or
// fails, and nothing reads past the terminator.
TEST_F(XmlTreeTest, TruncatedDocumentsNeverReadPastTheEnd)
{
    const char* doc = "<?xml version=\"1.0\"?>\r\n"
                      "<!-- c -->\r\n"
                      "<KEY Name='P' >\r\n"
                      "\t<KEY\tName = \"S\">\r\n"
                      "\t\t<DATA Name=\"\" Type=\"REG_SZ\" Value=\"a\nb\"/>\r\n"
                      "\t</KEY  >\r\n"
                      "\t<T>text &amp;</T>\r\n"
                      "\t<E / >\r\n"
                      "</KEY>\r\n";
    size_t n = strlen(doc);
    int failures = 0;
    for (size_t len = 0; len <= n; ++len) {
        SCOPED_TRACE(len);
        GuardedText text(doc, len);
        ASSERT_NE(nullptr, text.Get());
        XmlTree tree;
        if (ParseQuiet(tree, text.Get()) != 0)
            ++failures;
    }
    EXPECT_GT(failures, 0);
    XmlTree whole;
    GuardedText text(doc);
    EXPECT_EQ(0, ParseQuiet(whole, text.Get()));
}

TEST_F(XmlTreeTest, MalformedTailsAtThePageEnd)
{
    const char* tails[] = {
        "<?xml?>\n<A",      "<?xml?>\n<A ",      "<?xml?>\n<A x",  "<?xml?>\n<A x=",
        "<?xml?>\n<A x='",  "<?xml?>\n<A x='v",  "<?xml?>\n<A /",  "<?xml?>\n<A>",
        "<?xml?>\n<A>t",    "<?xml?>\n<A>t<",    "<?xml?>\n<A>t</", "<?xml?>\n<A>t</A",
        "<?xml?>\n<A><",    "<?xml?>\n<A><!-",   "<?xml?>\n<A><!--", "<?xml?>\n<A><!--x--",
        "<?xml?>\n<A><B/>", "<?xml?>\n<A><B/></", "<",               "\n<",
        "<!--",             "\n<!--",            "<?xml?>\n\xE3",  "<?xml?>\n<A v='\x81",
    };
    for (const char* t : tails) {
        SCOPED_TRACE(t);
        GuardedText text(t);
        XmlTree tree;
        ParseQuiet(tree, text.Get());
    }
    // A trailing lead byte in a double-byte code page must not take the terminator along.
    GuardedText body("<?xml?>\n<A>\x81");
    XmlTree tree;
    EXPECT_EQ(XmlTree::ErrMissingEndTag, ParseQuiet(tree, body.Get()));
}

TEST_F(XmlTreeTest, RemovingAnEntryDestroysItsItemAndLevel)
{
    XmlTree tree;
    tree.AddItem("A");
    XmlTree* sub = tree.AddSubTree();
    sub->AddItem("B")->AddAttrib("x", "1");
    sub->AddSubTree()->AddItem("C");
    EXPECT_EQ(sub, tree.AddSubTree());   // made once per item
    tree.AddItem("D");
    EXPECT_EQ(sub, NthChild(&tree, 0));
    POS pos = tree.GetHeadPos();
    tree.RemoveAt(pos);   // frees A, its level and everything below
    ASSERT_EQ(1, tree.GetCount());
    EXPECT_STREQ("D", Nth(&tree, 0)->GetName());
    XmlTree empty;
    EXPECT_EQ(nullptr, empty.AddSubTree());
}
