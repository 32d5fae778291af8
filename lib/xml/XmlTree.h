// A small reader and writer of the line-oriented XML dialect of the settings files: elements,
// attributes, text bodies, comments and a free-form prolog. All text is taken literally: no
// entity or character reference is decoded or produced.
#pragma once
#include "../Panorel32.h"
#include "../util/VmTree.h"

// Longest name, body, attribute text or prolog a tree holds.
#define XML_MAX_STR 32767
// Deepest nesting of elements a document may have (the registry's own limit on key depth).
#define XML_MAX_DEPTH 512

class PANOREL32_API XmlAttrib {
public:
    XmlAttrib() : m_name(nullptr), m_value(nullptr) {}
    XmlAttrib(const XmlAttrib&) = delete;   // owns its strings
    XmlAttrib& operator=(const XmlAttrib&) = delete;
    virtual ~XmlAttrib();

    const char* GetAttribName() const { return m_name; }
    const char* GetAttribValue() const { return m_value; }
    // Replaces both texts (null: absent). False, and nothing changed, when a text is longer
    // than XML_MAX_STR or memory ran out.
    bool SetNameValue(const char* name, const char* value);

private:
    char* m_name;
    char* m_value;
};

class PANOREL32_API XmlTreeItem {
public:
    XmlTreeItem();
    XmlTreeItem(const XmlTreeItem&) = delete;   // owns its strings and attributes
    XmlTreeItem& operator=(const XmlTreeItem&) = delete;
    virtual ~XmlTreeItem();

    const char* GetName() const { return m_name; }
    // Null when the element has no body; "" when it has an empty one.
    const char* GetBody() const { return m_body; }
    // Setters replace the old text (null: absent); false, and nothing changed, when the text
    // is longer than XML_MAX_STR or memory ran out. length -1: up to the terminator.
    bool SetName(const char* name, int length = -1);
    bool SetBody(const char* body, int length = -1);
    bool SetNameBody(const char* name, const char* body);

    // Appends an attribute; null when a text is too long or memory ran out.
    XmlAttrib* AddAttrib(const char* name, const char* value);
    // Length of the value of the first attribute named exactly `name` (0 when none); the value
    // and a terminator go to buffer when one is given (size it from a call without one).
    int GetAttrib(const char* name, char* buffer) const;
    // The attribute itself, or null.
    XmlAttrib* FindAttrib(const char* name) const;
    VmList& GetListAttr() { return m_attribs; }

    // The delete callback of the attribute list.
    static int ListAttrib_CallBack(void* user, int code, void* element);

private:
    char* m_name;
    char* m_body;
    VmList m_attribs;   // XmlAttrib*, document order
};

class PANOREL32_API XmlTree : public VmTree {
public:
    // Thrown inside the parser only; Get catches it.
    struct ParseException {
        int id;            // library string naming the error
        const char* pos;   // where in the text it was found
    };

    // Library strings of the parser's messages.
    enum {
        ErrMessage = 21901,   // "Error parsing XML document in line %d:\n\n%s: %s"
        ErrUnclosedComment = 21902,
        ErrSyntax = 21903,
        ErrUnexpected = 21904,
        ErrMissingName = 21905,
        ErrMissingEq = 21906,
        ErrUnquoted = 21907,
        ErrMissingQuote = 21908,
        ErrMissingEndTag = 21909
    };

    // node: the parent's entry for a child tree; none for a document.
    explicit XmlTree(POS node = nullptr);
    ~XmlTree() override;

    // A new element at the end of this level; null when a text is too long or memory ran out.
    XmlTreeItem* AddItem(const char* name, const char* body = nullptr);
    // The child level of the last element (made when missing); null on an empty level.
    XmlTree* AddSubTree();
    XmlTreeItem* GetItem(POS pos) const { return static_cast<XmlTreeItem*>(GetAt(pos)); }
    XmlTree* GetSubTree(POS pos) const { return static_cast<XmlTree*>(GetChild(pos)); }

    bool SetProlog(const char* text, int length = -1);
    const char* GetProlog() const { return m_prolog; }

    // Parses a whole document from the zero-terminated text into this (emptied) tree and
    // advances text. On an error the elements read so far stay, the error is shown in a
    // message box owned by owner, and the result is false.
    bool Get(HWND owner, const char*& text);
    bool Get(HWND owner, char*& text);
    // The last parse error (its string number, 0 after success) and its line.
    int GetErrorId() const { return m_errorId; }
    int GetErrorLine() const { return m_line; }
    // Quiet trees keep their parse errors to themselves (for callers that report on their own).
    void SetQuiet(bool quiet) { m_quiet = quiet; }

    // Writes the document at out and advances it; with a null out it only counts. Returns the
    // byte count; no terminator is written. Texts that cannot be written so that they read
    // back are written anyway: check them first with IsValueWritable and IsBodyWritable.
    int Put(char*& out) const;
    int Put(char* const& out) const
    {
        char* p = out;
        return Put(p);
    }
    // An attribute value reads back unless it holds both kinds of quote; a body reads back
    // unless it holds "<".
    static bool IsValueWritable(const char* value);
    static bool IsBodyWritable(const char* body);

    // The delete callback of the element list.
    static int XmlTreeItem_CallBack(void* user, int code, void* element);

protected:
    VmTree* CreateTree(POS parentNode) override;
    void DeleteTree(VmTree* tree) override;

private:
    void Parse(const char*& text, const char* enclosing, int& line, int depth = 0);
    int PutLevel(char*& out, int depth) const;

    char* m_prolog;
    int m_line;      // line counter of the last parse
    int m_errorId;
    bool m_quiet;
};
