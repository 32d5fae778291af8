#include "XmlTree.h"
#include "../ui/MsgUtil.h"
#include "../util/ResStr.h"
#include "../util/StrUtil.h"
#include <new>
#include <stdlib.h>
#include <string.h>

namespace {
// A malloc'd copy of length bytes (null text: null). ok is false when the text is too long or
// memory ran out.
char* DupText(const char* text, int length, bool& ok)
{
    ok = true;
    if (!text)
        return nullptr;
    size_t n = length < 0 ? strlen(text) : (size_t)length;
    if (n > XML_MAX_STR) {
        ok = false;
        return nullptr;
    }
    char* copy = static_cast<char*>(malloc(n + 1));
    if (!copy) {
        ok = false;
        return nullptr;
    }
    memcpy(copy, text, n);
    copy[n] = 0;
    return copy;
}

// Replaces *slot with a copy of text; false (slot unchanged) on failure.
bool ReplaceText(char*& slot, const char* text, int length)
{
    bool ok;
    char* copy = DupText(text, length, ok);
    if (!ok)
        return false;
    free(slot);
    slot = copy;
    return true;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

int NameLength(const char* p)
{
    if (!IsNameStart(*p))
        return 0;
    int n = 1;
    while (IsNameChar(p[n]))
        ++n;
    return n;
}

[[noreturn]] void Raise(int id, const char* pos)
{
    throw XmlTree::ParseException{id, pos};
}

// Skips white space and comments, counting line feeds.
void SkipWhite(const char*& p, int& line)
{
    for (;;) {
        char c = *p;
        if (c == '\n') {
            ++line;
            ++p;
        } else if (IsSpace(c)) {
            ++p;
        } else if (c == '<' && p[1] == '!' && p[2] == '-' && p[3] == '-') {
            // Searched from the "<!--" itself, so "<!-->" is already a whole comment.
            const char* end = strstr(p, "-->");
            if (!end)
                Raise(XmlTree::ErrUnclosedComment, p);
            for (const char* q = p; q < end; ++q)
                if (*q == '\n')
                    ++line;
            p = end + 3;
        } else {
            return;
        }
    }
}

// Scans up to the next `stop` byte (honouring double-byte characters), counting line feeds.
// Returns the stop position, or the terminator.
const char* ScanTo(const char* p, char stop, int& line)
{
    while (*p && *p != stop) {
        if (*p == '\n')
            ++line;
        p = NextChar(p);
    }
    return p;
}

// The end tag of `name`: "<", "/", the name and ">", white space allowed between them.
void ParseEndTag(const char*& p, const char* name, int& line)
{
    SkipWhite(p, line);
    if (*p != '<')
        Raise(XmlTree::ErrUnexpected, p);
    ++p;
    SkipWhite(p, line);
    if (*p != '/')
        Raise(XmlTree::ErrUnexpected, p);
    ++p;
    SkipWhite(p, line);
    size_t n = strlen(name);
    if (strncmp(p, name, n) != 0)
        Raise(XmlTree::ErrUnexpected, p);
    p += n;
    SkipWhite(p, line);
    if (*p != '>')
        Raise(XmlTree::ErrUnexpected, p);
    ++p;
}

// True when the line at p starts an element: after blanks and comments, "<", optional white
// space and a name start. end gets the position where the look stopped.
bool LineStartsElement(const char* p, const char*& end)
{
    int line = 0;
    while (*p == ' ' || *p == '\t' || *p == '\r' ||
           (p[0] == '<' && p[1] == '!' && p[2] == '-' && p[3] == '-')) {
        if (*p == '<') {
            const char* close = strstr(p, "-->");
            if (!close)
                Raise(XmlTree::ErrUnclosedComment, p);
            p = close + 3;
        } else {
            ++p;
        }
    }
    end = p;
    if (*p != '<')
        return false;
    ++p;
    SkipWhite(p, line);
    return IsNameStart(*p);
}

// The prolog is every line before the first line that starts an element; without one, the
// whole text.
const char* FindFirstElementLine(const char* text)
{
    const char* lineStart = text;
    while (*lineStart) {
        const char* stop = lineStart;
        if (LineStartsElement(lineStart, stop))
            return lineStart;
        while (*stop && *stop != '\n')
            ++stop;
        if (!*stop)
            break;
        lineStart = stop + 1;
    }
    return text + strlen(text);
}

void PutChars(char*& out, int& count, char c, int times)
{
    for (int i = 0; i < times; ++i)
        CharAdd(out, c, count);
}

void PutStr(char*& out, int& count, const char* text)
{
    if (text)
        CopyStr(out, text, count);
}
}  // namespace

// ---------------------------------------------------------------------------------------------

XmlAttrib::~XmlAttrib()
{
    free(m_name);
    free(m_value);
}

bool XmlAttrib::SetNameValue(const char* name, const char* value)
{
    bool ok1, ok2;
    char* n = DupText(name, -1, ok1);
    char* v = DupText(value, -1, ok2);
    if (!ok1 || !ok2) {
        free(n);
        free(v);
        return false;
    }
    free(m_name);
    free(m_value);
    m_name = n;
    m_value = v;
    return true;
}

// ---------------------------------------------------------------------------------------------

XmlTreeItem::XmlTreeItem() : m_name(nullptr), m_body(nullptr)
{
    m_attribs.SetCallback(nullptr, ListAttrib_CallBack);
}

XmlTreeItem::~XmlTreeItem()
{
    m_attribs.RemoveAll();
    free(m_name);
    free(m_body);
}

int XmlTreeItem::ListAttrib_CallBack(void*, int code, void* element)
{
    if (code == VmList::CodeRemove)
        delete static_cast<XmlAttrib*>(element);
    return 0;
}

bool XmlTreeItem::SetName(const char* name, int length)
{
    return ReplaceText(m_name, name, length);
}

bool XmlTreeItem::SetBody(const char* body, int length)
{
    return ReplaceText(m_body, body, length);
}

bool XmlTreeItem::SetNameBody(const char* name, const char* body)
{
    bool ok1, ok2;
    char* n = DupText(name, -1, ok1);
    char* b = DupText(body, -1, ok2);
    if (!ok1 || !ok2) {
        free(n);
        free(b);
        return false;
    }
    free(m_name);
    free(m_body);
    m_name = n;
    m_body = b;
    return true;
}

XmlAttrib* XmlTreeItem::AddAttrib(const char* name, const char* value)
{
    XmlAttrib* attrib = new (std::nothrow) XmlAttrib();
    if (!attrib)
        return nullptr;
    if (!attrib->SetNameValue(name, value) || !m_attribs.AddTail(attrib)) {
        delete attrib;
        return nullptr;
    }
    return attrib;
}

XmlAttrib* XmlTreeItem::FindAttrib(const char* name) const
{
    if (!name)
        return nullptr;
    for (POS pos = m_attribs.GetHeadPos(); pos;) {
        XmlAttrib* attrib = static_cast<XmlAttrib*>(m_attribs.GetNext(pos));
        if (attrib->GetAttribName() && strcmp(attrib->GetAttribName(), name) == 0)
            return attrib;
    }
    return nullptr;
}

int XmlTreeItem::GetAttrib(const char* name, char* buffer) const
{
    XmlAttrib* attrib = FindAttrib(name);
    const char* value = attrib && attrib->GetAttribValue() ? attrib->GetAttribValue() : "";
    int length = (int)strlen(value);
    if (buffer)
        memcpy(buffer, value, length + 1);
    return length;
}

// ---------------------------------------------------------------------------------------------

XmlTree::XmlTree(POS node) : VmTree(node), m_prolog(nullptr), m_line(1), m_errorId(0), m_quiet(false)
{
    SetCallback(this, XmlTreeItem_CallBack);
}

XmlTree::~XmlTree()
{
    RemoveAll();   // while our DeleteTree is still in place
    free(m_prolog);
}

int XmlTree::XmlTreeItem_CallBack(void*, int code, void* element)
{
    if (code == VmList::CodeRemove)
        delete static_cast<XmlTreeItem*>(element);
    return 0;
}

VmTree* XmlTree::CreateTree(POS parentNode)
{
    return new (std::nothrow) XmlTree(parentNode);
}

void XmlTree::DeleteTree(VmTree* tree)
{
    delete tree;   // virtual destructor: the XmlTree part runs too
}

XmlTreeItem* XmlTree::AddItem(const char* name, const char* body)
{
    XmlTreeItem* item = new (std::nothrow) XmlTreeItem();
    if (!item)
        return nullptr;
    if (!item->SetNameBody(name, body) || !AddTail(item)) {
        delete item;
        return nullptr;
    }
    return item;
}

XmlTree* XmlTree::AddSubTree()
{
    POS pos = GetTailPos();
    if (!pos)
        return nullptr;
    VmTree* child = GetChild(pos);
    if (!child)
        child = AddChild(pos);
    return static_cast<XmlTree*>(child);
}

bool XmlTree::SetProlog(const char* text, int length)
{
    return ReplaceText(m_prolog, text, length);
}

bool XmlTree::Get(HWND owner, char*& text)
{
    const char* p = text;
    bool ok = Get(owner, p);
    text += p - text;
    return ok;
}

bool XmlTree::Get(HWND owner, const char*& text)
{
    m_line = 1;
    m_errorId = 0;
    free(m_prolog);
    m_prolog = nullptr;
    RemoveAll();
    if (!text) {
        m_errorId = ErrSyntax;
        return false;
    }
    const char* p = text;
    try {
        const char* prologEnd = FindFirstElementLine(p);
        const char* cut = prologEnd;
        if (cut > p && cut[-1] == '\n') {
            --cut;
            if (cut > p && cut[-1] == '\r')
                --cut;
        }
        for (const char* q = p; q < prologEnd; ++q)
            if (*q == '\n')
                ++m_line;
        if (!SetProlog(p, (int)(cut - p)))
            Raise(ErrSyntax, p);
        p = prologEnd;
        Parse(p, nullptr, m_line);
        SkipWhite(p, m_line);
        if (*p)
            Raise(ErrSyntax, p);
    } catch (const ParseException& e) {
        m_errorId = e.id;
        char excerpt[21];
        StrCopyN(excerpt, e.pos, sizeof(excerpt));
        ResStr word(-e.id);
        if (!m_quiet)
            Msg(owner, MB_ICONHAND, -ErrMessage, m_line, word.GetStr(), excerpt);
        text = e.pos;
        return false;
    }
    text = p;
    return true;
}

void XmlTree::Parse(const char*& text, const char* enclosing, int& line, int depth)
{
    const char* p = text;
    for (;;) {
        // Element start; without "<" and a name the level ends before the "<".
        SkipWhite(p, line);
        const char* before = p;
        int lineBefore = line;
        if (*p != '<')
            break;
        ++p;
        SkipWhite(p, line);
        int nameLen = NameLength(p);
        if (!nameLen) {
            p = before;
            line = lineBefore;
            break;
        }
        XmlTreeItem* item = AddItem(nullptr);
        if (!item || !item->SetName(p, nameLen))
            Raise(ErrSyntax, p);
        p += nameLen;

        // Attributes.
        for (;;) {
            SkipWhite(p, line);
            int len = NameLength(p);
            if (!len)
                break;
            const char* attrName = p;
            p += len;
            SkipWhite(p, line);
            if (*p != '=')
                Raise(ErrMissingEq, p);
            ++p;
            SkipWhite(p, line);
            if (*p != '"' && *p != '\'')
                Raise(ErrUnquoted, p);
            // Errors report the line where the unfinished text began.
            const char* quote = p;
            int valueLine = line;
            const char* end = ScanTo(p + 1, *p, valueLine);
            if (!*end)
                Raise(ErrMissingQuote, quote);
            line = valueLine;
            XmlAttrib* attrib = new (std::nothrow) XmlAttrib();
            bool ok = false;
            if (attrib) {
                bool ok1, ok2;
                char* n = DupText(attrName, len, ok1);
                char* v = DupText(quote + 1, (int)(end - quote - 1), ok2);
                ok = ok1 && ok2 && attrib->SetNameValue(n, v) && item->GetListAttr().AddTail(attrib);
                free(n);
                free(v);
                if (!ok)
                    delete attrib;
            }
            if (!ok)
                Raise(ErrSyntax, attrName);
            p = end + 1;
        }

        // End of the start tag.
        SkipWhite(p, line);
        if (*p == '/') {
            ++p;
            SkipWhite(p, line);
            if (*p != '>')
                Raise(ErrUnexpected, p);
            ++p;
            continue;
        }
        if (*p != '>')
            Raise(ErrUnexpected, p);
        ++p;

        // Content: sub-elements when a start tag follows, else a text body and the end tag.
        const char* look = p;
        int lookLine = line;
        SkipWhite(look, lookLine);
        bool children = false;
        if (*look == '<') {
            const char* q = look + 1;
            int qLine = lookLine;
            SkipWhite(q, qLine);
            children = *q != '/';
        }
        if (children) {
            // Each level is a call of its own: a bound keeps a hostile file from the stack.
            if (depth >= XML_MAX_DEPTH)
                Raise(ErrSyntax, p);
            XmlTree* child = AddSubTree();
            if (!child)
                Raise(ErrSyntax, p);
            child->Parse(p, item->GetName(), line, depth + 1);
        } else {
            int bodyLine = line;
            const char* end = ScanTo(p, '<', bodyLine);
            if (!*end)
                Raise(ErrMissingEndTag, p);
            line = bodyLine;
            if (!item->SetBody(p, (int)(end - p)))
                Raise(ErrSyntax, p);
            p = end;
            ParseEndTag(p, item->GetName(), line);
        }
    }
    if (enclosing)
        ParseEndTag(p, enclosing, line);
    text = p;
}

int XmlTree::Put(char*& out) const
{
    int count = 0;
    PutStr(out, count, m_prolog ? m_prolog : "<?xml version=\"1.0\"?>");
    PutStr(out, count, "\r\n");
    return count + PutLevel(out, 0);
}

int XmlTree::PutLevel(char*& out, int depth) const
{
    int count = 0;
    for (POS pos = GetHeadPos(); pos; pos = pos->next) {
        const XmlTreeItem* item = GetItem(pos);
        const XmlTree* child = GetSubTree(pos);
        if (child && child->IsEmpty())
            child = nullptr;
        PutChars(out, count, '\t', depth);
        CharAdd(out, '<', count);
        PutStr(out, count, item->GetName());
        const VmList& attribs = const_cast<XmlTreeItem*>(item)->GetListAttr();
        for (POS a = attribs.GetHeadPos(); a; a = a->next) {
            const XmlAttrib* attrib = static_cast<const XmlAttrib*>(attribs.GetAt(a));
            const char* value = attrib->GetAttribValue();
            // A value holding double quotes reads back inside single ones.
            char quote = value && strchr(value, '"') && !strchr(value, '\'') ? '\'' : '"';
            CharAdd(out, ' ', count);
            PutStr(out, count, attrib->GetAttribName());
            CharAdd(out, '=', count);
            CharAdd(out, quote, count);
            PutStr(out, count, value);
            CharAdd(out, quote, count);
        }
        if (!item->GetBody() && !child) {
            PutStr(out, count, "/>\r\n");
            continue;
        }
        CharAdd(out, '>', count);
        if (child) {
            PutStr(out, count, "\r\n");
            count += child->PutLevel(out, depth + 1);
            PutChars(out, count, '\t', depth);
        } else {
            PutStr(out, count, item->GetBody());
        }
        PutStr(out, count, "</");
        PutStr(out, count, item->GetName());
        PutStr(out, count, ">\r\n");
    }
    return count;
}

bool XmlTree::IsValueWritable(const char* value)
{
    return !value || !strchr(value, '"') || !strchr(value, '\'');
}

bool XmlTree::IsBodyWritable(const char* body)
{
    return !body || !strchr(body, '<');
}
