// Quick Edit's load and save of a 50 MB UTF-8 text and a 50 MB UTF-16 text, beside `iconv`
// converting the same file in the same run. Load: the file read, its encoding detected and
// the text converted for the editor; save: the text converted back and written through a
// temporary file that replaces the target. "document" figures add the editor's text control
// (the text set into it and taken out of it again). Medians of three runs.
#include "BenchUtil.h"
#include "UnixRun.h"
#include "files/VmFile.h"
#include "quickedit/QuickEditDoc.h"

namespace {

const size_t kSize = 50u * 1024 * 1024;

std::string MakeUtf8Text()
{
    const wchar_t* words[] = {L"file", L"\x0444\x0430\x0439\x043B", L"\x65E5\x672C\x8A9E",
                              L"manager", L"\xD83D\xDE00", L"panel", L"\x0442\x0435\x043A\x0441\x0442"};
    std::string text = "\xEF\xBB\xBF";
    std::string parts[7];
    for (int i = 0; i < 7; i++) {
        char buf[64];
        int n = WideCharToMultiByte(CP_UTF8, 0, words[i], -1, buf, sizeof(buf), nullptr, nullptr);
        parts[i].assign(buf, (size_t)n - 1);
    }
    unsigned x = 12345;
    size_t col = 0;
    while (text.size() < kSize) {
        x = x * 1103515245u + 12345u;
        const std::string& w = parts[(x >> 16) % 7];
        text += w;
        col += w.size() + 1;
        if (col > 70) {
            text += "\r\n";
            col = 0;
        } else {
            text += ' ';
        }
    }
    return text;
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    VmFile f(path.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    return f.IsReady() && f.WriteBin(bytes.data(), (DWORD)bytes.size());
}

std::string ReadAll(const std::string& path)
{
    VmFile f(path.c_str(), false);
    std::string s(f.GetSize(), 0);
    if (!s.empty())
        f.ReadBin(&s[0], (DWORD)s.size());
    return s;
}

// Load and save as the document does them, without the text control.
bool CodecRound(const std::string& in, const std::string& out, double& loadMs, double& saveMs)
{
    double t0 = bench::NowMs();
    std::string bytes = ReadAll(in);
    DecodedText text;
    DecodeText((const unsigned char*)bytes.data(), bytes.size(), text);
    double t1 = bench::NowMs();
    std::string encoded;
    if (!EncodeText(text.text, text.encoding, text.codePage, encoded))
        return false;
    std::string temp = out + ".tmp";
    if (!WriteAll(temp, encoded) || !MoveFileExA(temp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;
    double t2 = bench::NowMs();
    loadMs = t1 - t0;
    saveMs = t2 - t1;
    return true;
}

bool DocumentRound(const std::string& in, const std::string& out, double& loadMs, double& saveMs)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL |
                                ES_AUTOHSCROLL, 0, 0, 400, 300, NULL, NULL, NULL, NULL);
    QuickEditDoc doc;
    doc.Attach(NULL, edit);
    double t0 = bench::NowMs();
    int err = doc.Load(in.c_str());
    double t1 = bench::NowMs();
    int err2 = err ? err : doc.Save(out.c_str());
    double t2 = bench::NowMs();
    DestroyWindow(edit);
    loadMs = t1 - t0;
    saveMs = t2 - t1;
    return err == 0 && err2 == 0;
}

void Report(const char* what, std::vector<double> load, std::vector<double> save, double peer)
{
    bench::Stats l = bench::Summarize(load), s = bench::Summarize(save);
    printf("  %-26s load %8.0f ms  save %8.0f ms  load+save %8.0f ms  (%.2fx iconv)\n", what,
           l.median, s.median, l.median + s.median, peer > 0 ? (l.median + s.median) / peer : 0.0);
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    bool withControl = argc > 1 && strcmp(argv[1], "--control") == 0;
    std::string dir = bench::TempPath("qe_bench");
    CreateDirectoryA(dir.c_str(), NULL);
    std::string u8 = dir + "\\utf8.txt", u16 = dir + "\\utf16.txt", out = dir + "\\out.txt";
    std::string done = dir + "\\unix.done";
    std::string text = MakeUtf8Text();
    WriteAll(u8, text);
    {
        DecodedText d;
        DecodeText((const unsigned char*)text.data(), text.size(), d);
        std::string wide;
        EncodeText(d.text, TE_Unicode, CP_ACP, wide);
        wide.resize(std::min(wide.size(), kSize));
        WriteAll(u16, wide);
    }
    printf("quickedit_bench: %.1f MB UTF-8 and %.1f MB UTF-16 texts\n",
           VmFile::GetSize(u8.c_str()) / 1048576.0, VmFile::GetSize(u16.c_str()) / 1048576.0);
    std::string ux8 = bench::UnixPath(u8), ux16 = bench::UnixPath(u16), uxo = bench::UnixPath(out);
    struct Case { const char* name; std::string file, iconv; } cases[] = {
        {"UTF-8", u8, "iconv -f UTF-8 -t UTF-16LE '" + ux8 + "' > '" + uxo + "'"},
        {"UTF-16", u16, "iconv -f UTF-16LE -t UTF-8 '" + ux16 + "' > '" + uxo + "'"},
    };
    for (const Case& c : cases) {
        std::vector<double> peer, cl, cs, dl, ds;
        for (int run = 0; run < 3; run++) {
            double ms = bench::TimeUnixCommand(c.iconv, done);
            if (ms >= 0)
                peer.push_back(ms);
            double l, s;
            if (CodecRound(c.file, out, l, s)) {
                cl.push_back(l);
                cs.push_back(s);
            }
            if (withControl && DocumentRound(c.file, out, l, s)) {
                dl.push_back(l);
                ds.push_back(s);
            }
        }
        double p = bench::Summarize(peer).median;
        printf("%s text:\n  %-26s %8.0f ms\n", c.name, "iconv (peer)", p);
        Report("Quick Edit", cl, cs, p);
        if (withControl)
            Report("Quick Edit with the control", dl, ds, p);
        // The saved copy equals the original.
        printf("  saved copy identical: %s\n", ReadAll(out) == ReadAll(c.file) ? "yes" : "NO");
    }
    DeleteFileA(u8.c_str());
    DeleteFileA(u16.c_str());
    DeleteFileA(out.c_str());
    RemoveDirectoryA(dir.c_str());
    return 0;
}
