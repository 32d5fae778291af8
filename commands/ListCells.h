// The cell texts of a panel's list, exactly as its Details view shows them, for List.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <map>
#include <string>
#include <vector>

// The list asks the view for every cell it is asked for, and the view asks its folder each
// time: under Wine a name costs about 150 us that way, a type 35 us. Here each column is asked
// of the view's own folder directly where the texts were seen to agree with the list's, and the
// two costly columns (name and type) are worked out once per kind of object: the type text per
// extension, the name per extension as "the parsing name" or "the parsing name without its
// extension", as the folder answered for the first object of that kind. Objects outside the
// file system, folders that may carry names and types of their own (read-only or system
// folders) and folders with a desktop.ini (which may rename files) are asked of the folder
// each time; a column whose texts disagree with the list's on the sampled items is read from
// the list itself. Not copyable: it holds references to the view's interfaces.
class ListCells {
public:
    ListCells(HWND list, IShellView* view);
    ~ListCells();
    ListCells(const ListCells&) = delete;
    ListCells& operator=(const ListCells&) = delete;

    HWND List() const { return m_list; }
    // The text of item `item` in the list's column `column` (the list's own index): the text
    // the list gives for that cell.
    std::string Text(int item, int column);
    // Forgets what was read of single items; the per-kind answers stay. Call before reading the
    // list again, since it may have changed meanwhile.
    void NewPass();

    // How a column's texts are produced (exposed so tests and benches can tell the paths apart).
    enum Source { FromList, FromFolder, NameRule, TypeRule };
    Source SourceOf(int column);

private:
    struct Column {
        bool ready = false;
        Source source = FromList;
        int folderColumn = -1;
    };
    // What one item is, read once per item and pass.
    struct Item {
        int index = -1;
        ITEMIDLIST* pidl = nullptr;
        bool fileSystem = false;     // find data came with the item
        bool ownTexts = false;       // may carry a name or type of its own: always asked
        bool folder = false;
        std::wstring parsing;        // in-folder parsing name
        std::wstring key;            // the kind: folder or file, and the extension; empty: none
    };
    enum NameForm { SameAsParsing, WithoutExtension, AskFolder };

    Column& ColumnAt(int column);
    void SetUp(int column, Column& col);
    bool LoadItem(int index);
    void FreeItem();
    std::string ListText(int item, int column) const;
    // The folder's own text for the current item in a folder column; false when it gives none.
    bool FolderText(int folderColumn, std::wstring& text);
    std::string Produce(int item, int column, Column& col);
    std::string Narrow(const std::wstring& text) const;

    HWND m_list;
    IFolderView* m_folderView = nullptr;
    IShellFolder2* m_folder = nullptr;
    bool m_desktopIni = false;   // the folder holds a desktop.ini: names may be its own
    int m_folderColumns = 0;
    std::vector<std::wstring> m_folderTitles;
    std::vector<Column> m_columns;
    Item m_item;
    std::map<std::wstring, NameForm> m_nameRules;
    std::map<std::wstring, std::wstring> m_types;
};
