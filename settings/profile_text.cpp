// Storing keys in a private-profile (INI) file without disturbing the player's own lines.
//
// The system's profile writer rebuilds the whole file from what it parsed (Wine drops blank
// lines, spacing, text after a section's "]", everything after a NUL, bytes that are no valid
// GBK, and turns every line ending into CR LF), and it rewrites the file once per key. This
// writer edits the file's bytes instead, and finds each key the way the system's reader does,
// so the value it writes is the value the game reads.
#include "settings/profile_text.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/text_bounds.h"

namespace {

// A settings file never grows this big by itself; a larger one is left alone.
constexpr DWORD kMaxFileSize = 16 * 1024 * 1024;
constexpr int kMaxValues = 64;
constexpr int kMaxEdits = 3 * kMaxValues + 1;

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// A settings file's bytes as the profile reader decodes them: the encoding its byte-order mark
// names, or the system code page (with its lead bytes) when it has none.
struct FileText {
    const unsigned char* bytes;
    size_t begin;  // after the byte-order mark
    size_t end;    // after the last whole code unit (a UTF-16 file may end in a stray byte)
    size_t unit;   // bytes per code unit
    Encoding encoding;
    bool dbcs;       // ANSI text on a double-byte code page
    bool lead[256];  // its lead bytes
};

unsigned UnitAt(const FileText& t, size_t pos) {
    if (t.unit == 1) {
        return t.bytes[pos];
    }
    if (t.encoding == Encoding::kUtf16Le) {
        return t.bytes[pos] | (t.bytes[pos + 1] << 8);
    }
    return (t.bytes[pos] << 8) | t.bytes[pos + 1];
}

// The character at pos, and its length in bytes. Only ASCII matters here (names, "=", "[",
// "]", blanks, line breaks); anything else reads as U+FFFD. On a double-byte code page a lead
// byte takes the next byte whatever it is, as the reader's conversion does, so a line break
// right after a lead byte does not end the line.
size_t CharAt(const FileText& t, size_t pos, wchar_t* ch) {
    unsigned first = UnitAt(t, pos);
    *ch = static_cast<wchar_t>(first);
    if (t.unit == 2 || first < 0x80) {
        return t.unit;
    }
    *ch = 0xFFFD;
    if (t.encoding == Encoding::kAnsi) {
        return t.lead[first] && pos + 1 < t.end ? 2 : 1;
    }
    size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (pos + length > t.end) {
        return 1;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((t.bytes[pos + i] & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

// The reader's white space: tab to CR, blank, and ^Z (DOS end of file). Wider blanks such as
// the ideographic space are part of a name.
bool IsProfileSpace(wchar_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A;
}

struct Line {
    size_t start;       // first byte of the line
    size_t contentEnd;  // its line break (or the end of the text)
    size_t breakEnd;    // after that line break (CR LF, LF or CR); blank lines may follow
    size_t nextLine;    // after the whole run of line breaks
    size_t textStart;   // first character that is not white space (contentEnd if none)
    size_t textEnd;     // end of the last character that is not white space
    size_t nameEnd;     // end of the name: white space before the first "=" is not part of it
    size_t equals;      // the first "=", or textEnd
    size_t closing;     // the last "]", or textEnd
    size_t finalChar;   // start of its last character before the line break
};

// A line ends at a CR or an LF; a run of them ends it once.
Line ReadLine(const FileText& t, size_t start) {
    Line l = {start, t.end, t.end, t.end, t.end, t.end, t.end, t.end, t.end, start};
    bool seen = false;
    size_t pos = start;
    while (pos < t.end) {
        wchar_t c;
        size_t length = CharAt(t, pos, &c);
        if (c == L'\n' || c == L'\r') {
            if (l.contentEnd == t.end) {
                l.contentEnd = pos;
                bool crlf = c == L'\r' && pos + length < t.end && UnitAt(t, pos + length) == '\n';
                l.breakEnd = pos + length + (crlf ? t.unit : 0);
            }
            pos += length;
            continue;
        }
        if (l.contentEnd != t.end) {
            break;
        }
        l.finalChar = pos;
        if (!IsProfileSpace(c)) {
            if (!seen) {
                l.textStart = pos;
                seen = true;
            }
            l.textEnd = pos + length;
            if (c == L'=' && l.equals == t.end) {
                l.equals = pos;
                if (l.nameEnd == t.end) {
                    l.nameEnd = pos;  // an empty name
                }
            }
            if (l.equals == t.end) {
                l.nameEnd = pos + length;
            }
            if (c == L']') {
                l.closing = pos;
            }
        }
        pos += length;
    }
    l.nextLine = pos;
    if (!seen) {
        l.textStart = l.textEnd = l.nameEnd = l.contentEnd;
    }
    if (l.equals == t.end) {
        l.equals = l.textEnd;
        l.nameEnd = l.textEnd;
    }
    if (l.closing == t.end) {
        l.closing = l.textEnd;
    }
    return l;
}

// A section's name is what stands between its brackets, without white space around it.
void TrimName(const FileText& t, size_t* from, size_t* to) {
    size_t end = *from;
    bool seen = false;
    for (size_t pos = *from; pos < *to;) {
        wchar_t c;
        size_t length = CharAt(t, pos, &c);
        if (!IsProfileSpace(c)) {
            if (!seen) {
                *from = pos;
                seen = true;
            }
            end = pos + length;
        }
        pos += length;
    }
    *to = seen ? end : *from;
}

unsigned Fold(unsigned c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

bool SameAscii(const char* a, const char* b) {
    while (*a != '\0' &&
           Fold(static_cast<unsigned char>(*a)) == Fold(static_cast<unsigned char>(*b))) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// Names match without regard to ASCII letter case; the reader compares them as C strings, so a
// NUL ends a name.
bool SameName(const FileText& t, size_t from, size_t to, const char* name) {
    for (size_t pos = from; pos < to;) {
        wchar_t c;
        pos += CharAt(t, pos, &c);
        if (c == 0) {
            break;
        }
        if (*name == '\0' || c >= 0x80 || Fold(c) != Fold(static_cast<unsigned char>(*name))) {
            return false;
        }
        ++name;
    }
    return *name == '\0';
}

enum class Break { kCrLf, kLf, kCr };

// What an edit does at its place: the key's line replaced, a key line, a section header or a
// line break added.
enum class EditKind { kReplaceLine, kAddLine, kAddSection, kAddBreak };

struct Edit {
    size_t at;      // byte position in the old text
    size_t skipTo;  // old bytes [at, skipTo) are replaced
    EditKind kind;
    int index;  // into the value list
    Break lineBreak;
};

struct SectionState {
    const char* name;
    bool seen;
    size_t insertAt;  // after its last line that is not blank
    bool terminated;  // that line has its line break
};

// The edits that put a list of values into a file where the reader finds them, and the new
// file they give.
class StorePlan {
  public:
    StorePlan(const FileText& text, const ProfileValue* values, int count)
        : t_(text), values_(values), count_(count) {}

    // Plans every change; false when there are too many.
    bool Plan();
    // Writes the new file into out (room for OutputBound bytes); returns its length.
    size_t Emit(unsigned char* out, size_t size) const;
    size_t OutputBound(size_t size) const;

  private:
    bool Add(size_t at, size_t skipTo, EditKind kind, int index, Break lineBreak);
    size_t PutAscii(unsigned char* out, const char* text) const;
    size_t PutBreak(unsigned char* out, Break lineBreak) const;

    const FileText& t_;
    const ProfileValue* values_;
    int count_;
    SectionState sections_[kMaxValues] = {};
    int sectionCount_ = 0;
    int sectionIndex_[kMaxValues] = {};
    bool found_[kMaxValues] = {};
    Edit edits_[kMaxEdits] = {};
    int editCount_ = 0;
    Break lineBreak_ = Break::kCrLf;  // the file's first; CR LF when it has none
    bool lastTerminated_ = true;
    bool danglingLead_ = false;
};

bool StorePlan::Add(size_t at, size_t skipTo, EditKind kind, int index, Break lineBreak) {
    if (editCount_ >= kMaxEdits) {
        return false;
    }
    // Kept in order of position; edits at the same position keep the order they came in.
    int i = editCount_++;
    while (i > 0 && edits_[i - 1].at > at) {
        edits_[i] = edits_[i - 1];
        --i;
    }
    edits_[i] = {at, skipTo, kind, index, lineBreak};
    return true;
}

bool StorePlan::Plan() {
    if (count_ < 0 || count_ > kMaxValues) {
        return false;
    }
    for (int i = 0; i < count_; ++i) {
        int s = 0;
        while (s < sectionCount_ && !SameAscii(sections_[s].name, values_[i].section)) {
            ++s;
        }
        if (s == sectionCount_) {
            sections_[sectionCount_++] = {values_[i].section, false, 0, true};
        }
        sectionIndex_[i] = s;
    }

    // New lines take the kind of the file's first line break.
    for (size_t pos = t_.begin; pos < t_.end;) {
        wchar_t c;
        pos += CharAt(t_, pos, &c);
        if (c == L'\n' || c == L'\r') {
            bool crlf = c == L'\r' && pos < t_.end && UnitAt(t_, pos) == '\n';
            lineBreak_ = crlf ? Break::kCrLf : c == L'\n' ? Break::kLf : Break::kCr;
            break;
        }
    }

    int current = -1;  // the section being read, when it is the first of a wanted name
    for (size_t pos = t_.begin; pos < t_.end;) {
        Line l = ReadLine(t_, pos);
        pos = l.nextLine;
        lastTerminated_ = l.nextLine > l.contentEnd;
        // A lead byte that ends the file would take a line break added after it.
        danglingLead_ = !lastTerminated_ && t_.dbcs && l.contentEnd - l.finalChar == 1 &&
                        t_.lead[t_.bytes[l.finalChar]];
        if (l.textStart == l.textEnd) {
            continue;  // blank
        }
        if (UnitAt(t_, l.textStart) == '[' && l.closing < l.textEnd) {
            current = -1;
            size_t from = l.textStart + t_.unit;
            size_t to = l.closing;
            TrimName(t_, &from, &to);
            for (int s = 0; s < sectionCount_; ++s) {
                if (SameName(t_, from, to, sections_[s].name)) {
                    if (!sections_[s].seen) {
                        sections_[s].seen = true;
                        current = s;
                    }
                    break;
                }
            }
            if (current >= 0) {
                sections_[current].insertAt = l.breakEnd;
                sections_[current].terminated = lastTerminated_;
            }
            continue;
        }
        if (current < 0) {
            continue;
        }
        sections_[current].insertAt = l.breakEnd;
        sections_[current].terminated = lastTerminated_;
        for (int i = 0; i < count_; ++i) {
            if (sectionIndex_[i] != current || found_[i] ||
                !SameName(t_, l.textStart, l.nameEnd, values_[i].key)) {
                continue;
            }
            // The whole line as the reader sees it becomes "key=value", up to the line break
            // that ends it for the reader: a line break hidden behind a lead byte goes with it,
            // or the lines it hid would come back and shadow keys added below.
            found_[i] = true;
            if (!Add(l.textStart, l.contentEnd, EditKind::kReplaceLine, i, Break::kCrLf)) {
                return false;
            }
            break;
        }
    }

    // The file's end has its line break once something added there brought one.
    bool endTerminated = lastTerminated_ || t_.end == t_.begin;
    // Missing keys of present sections go after the section's last line.
    for (int s = 0; s < sectionCount_; ++s) {
        SectionState& section = sections_[s];
        if (!section.seen) {
            continue;
        }
        Break lineBreak = lineBreak_;
        for (int i = 0; i < count_; ++i) {
            if (sectionIndex_[i] != s || found_[i]) {
                continue;
            }
            if (!section.terminated) {
                section.terminated = true;
                endTerminated = endTerminated || section.insertAt == t_.end;
                if (!Add(section.insertAt, section.insertAt, EditKind::kAddBreak, i, lineBreak)) {
                    return false;
                }
            }
            if (!Add(section.insertAt, section.insertAt, EditKind::kAddLine, i, lineBreak)) {
                return false;
            }
        }
    }
    // Missing sections go to the end of the file, in the order of the list.
    Break lineBreak = lineBreak_;
    bool terminated = endTerminated;
    for (int s = 0; s < sectionCount_; ++s) {
        if (sections_[s].seen) {
            continue;
        }
        for (int i = 0; i < count_; ++i) {
            if (sectionIndex_[i] != s) {
                continue;
            }
            if (!terminated) {
                terminated = true;
                if (!Add(t_.end, t_.end, EditKind::kAddBreak, i, lineBreak)) {
                    return false;
                }
            }
            bool first = true;
            for (int j = 0; j < i; ++j) {
                first = first && sectionIndex_[j] != s;
            }
            if ((first && !Add(t_.end, t_.end, EditKind::kAddSection, i, lineBreak)) ||
                !Add(t_.end, t_.end, EditKind::kAddLine, i, lineBreak)) {
                return false;
            }
        }
    }
    return true;
}

size_t StorePlan::OutputBound(size_t size) const {
    size_t added = 0;
    for (int i = 0; i < count_; ++i) {
        added +=
            strlen(values_[i].section) + strlen(values_[i].key) + strlen(values_[i].value) + 12;
    }
    return size + 2 * added;
}

size_t StorePlan::PutAscii(unsigned char* out, const char* text) const {
    size_t n = 0;
    for (; *text != '\0'; ++text) {
        unsigned char c = static_cast<unsigned char>(*text);
        if (t_.unit == 1) {
            out[n++] = c;
        } else if (t_.encoding == Encoding::kUtf16Le) {
            out[n++] = c;
            out[n++] = 0;
        } else {
            out[n++] = 0;
            out[n++] = c;
        }
    }
    return n;
}

size_t StorePlan::PutBreak(unsigned char* out, Break lineBreak) const {
    return PutAscii(out, lineBreak == Break::kCrLf ? "\r\n"
                         : lineBreak == Break::kLf ? "\n"
                                                   : "\r");
}

size_t StorePlan::Emit(unsigned char* out, size_t size) const {
    size_t n = 0;
    size_t cursor = 0;
    for (int e = 0; e < editCount_; ++e) {
        const Edit& edit = edits_[e];
        if (edit.at > cursor) {
            memcpy(out + n, t_.bytes + cursor, edit.at - cursor);
            n += edit.at - cursor;
            cursor = edit.at;
        }
        const ProfileValue& v = values_[edit.index];
        switch (edit.kind) {
            case EditKind::kAddSection:
                n += PutAscii(out + n, "[");
                n += PutAscii(out + n, v.section);
                n += PutAscii(out + n, "]");
                n += PutBreak(out + n, edit.lineBreak);
                break;
            case EditKind::kReplaceLine:
            case EditKind::kAddLine:
                n += PutAscii(out + n, v.key);
                n += PutAscii(out + n, "=");
                n += PutAscii(out + n, v.value);
                if (edit.kind == EditKind::kAddLine) {
                    n += PutBreak(out + n, edit.lineBreak);
                }
                break;
            case EditKind::kAddBreak:
                if (danglingLead_) {
                    n += PutBreak(out + n, edit.lineBreak);
                }
                n += PutBreak(out + n, edit.lineBreak);
                break;
        }
        if (edit.skipTo > cursor) {
            cursor = edit.skipTo;
        }
    }
    memcpy(out + n, t_.bytes + cursor, size - cursor);
    return n + size - cursor;
}

FileText FileTextOf(const unsigned char* bytes, size_t size) {
    FileText t = {bytes, 0, size, 1, Encoding::kAnsi, false, {}};
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        t.begin = 3;
        t.encoding = Encoding::kUtf8;
    } else if (size >= 2 &&
               ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        t.begin = 2;
        t.unit = 2;
        t.encoding = bytes[0] == 0xFF ? Encoding::kUtf16Le : Encoding::kUtf16Be;
        t.end = 2 + (size - 2) / 2 * 2;
    } else {
        CPINFO info;
        t.dbcs = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
        for (int i = 0; t.dbcs && i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
            for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) {
                t.lead[b] = true;
            }
        }
    }
    return t;
}

// True when the reader finds the value in the text: on the first line of the key's name in the
// first section of its name, without white space around it.
bool ReadsBack(const FileText& t, const ProfileValue& v) {
    bool inSection = false;
    for (size_t pos = t.begin; pos < t.end;) {
        Line l = ReadLine(t, pos);
        pos = l.nextLine;
        if (l.textStart == l.textEnd) {
            continue;
        }
        if (UnitAt(t, l.textStart) == '[' && l.closing < l.textEnd) {
            if (inSection) {
                return false;  // the key's section ended without it
            }
            size_t from = l.textStart + t.unit;
            size_t to = l.closing;
            TrimName(t, &from, &to);
            inSection = SameName(t, from, to, v.section);
            continue;
        }
        if (!inSection || !SameName(t, l.textStart, l.nameEnd, v.key)) {
            continue;
        }
        size_t from = l.equals < l.textEnd ? l.equals + t.unit : l.textEnd;
        size_t to = l.textEnd;
        TrimName(t, &from, &to);
        const char* expected = v.value;
        for (; from < to && *expected != '\0'; from += t.unit, ++expected) {
            if (UnitAt(t, from) != static_cast<unsigned char>(*expected)) {
                return false;
            }
        }
        return from == to && *expected == '\0';
    }
    return false;
}

// The folder of the settings file with its final backslash, for the temporary file beside it.
bool FolderOf(const char* path, char* folder, size_t size) {
    if (!CopyText(folder, size, path)) {
        return false;
    }
    char* slash = FindLastBackslash(folder);
    if (slash == nullptr) {
        return false;
    }
    slash[1] = '\0';
    return true;
}

// Writes the new text into a new file beside the settings file and flushes it to the disk, so
// the settings file is only ever replaced by a complete text. Returns the open file's name in
// temp; false (and nothing left behind) when any step fails.
bool WriteTempFile(const char* path, const unsigned char* bytes, size_t size, char* temp,
                   size_t tempSize) {
    char folder[kPathSize];
    if (!FolderOf(path, folder, sizeof folder)) {
        return false;
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    const DWORD seed = GetTickCount() ^ GetCurrentProcessId();
    for (DWORD attempt = 0; attempt < 32 && file == INVALID_HANDLE_VALUE; ++attempt) {
        char name[16];
        snprintf(name, sizeof name, "qr6~%04lx.tmp",
                 static_cast<unsigned long>((seed + attempt * 7919u) & 0xFFFF));
        if (!CopyText(temp, tempSize, folder) || !AppendText(temp, tempSize, name)) {
            return false;
        }
        file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = storeFileCalls.writeFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) &&
              written == size && storeFileCalls.flushFileBuffers(file);
    // A delayed write can still fail at the close (a network share, a pulled stick).
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileA(temp);
    }
    return ok;
}

}  // namespace

StoreFileCalls storeFileCalls = {WriteFile, FlushFileBuffers, ReplaceFileA, MoveFileExA};

bool WriteProfileValues(const char* path, const ProfileValue* values, int count) {
    // Opened for writing too: a read-only file, or one another program holds open without
    // sharing, is refused before anything is written.
    const DWORD attributes = GetFileAttributesA(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD size = 0;
    if (exists) {
        file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        size = GetFileSize(file, nullptr);
    }
    bool ok = false;
    HANDLE heap = GetProcessHeap();
    unsigned char* old = nullptr;
    unsigned char* out = nullptr;
    char temp[kPathSize] = "";
    if (size != INVALID_FILE_SIZE && size <= kMaxFileSize &&
        (old = static_cast<unsigned char*>(HeapAlloc(heap, 0, size + 1))) != nullptr) {
        DWORD got = 0;
        if (!exists || (ReadFile(file, old, size, &got, nullptr) && got == size)) {
            FileText text = FileTextOf(old, size);
            StorePlan editor(text, values, count);
            size_t bound = editor.OutputBound(size);
            if (editor.Plan() &&
                (out = static_cast<unsigned char*>(HeapAlloc(heap, 0, bound))) != nullptr) {
                size_t length = editor.Emit(out, size);
                // Never a file in which a stored key reads back other than stored.
                FileText written = FileTextOf(out, length);
                ok = true;
                for (int i = 0; i < count && ok; ++i) {
                    ok = ReadsBack(written, values[i]);
                }
                ok = ok && WriteTempFile(path, out, length, temp, sizeof temp);
            }
        }
    }
    // Held until here, so no other program changes the file between our read and the replace.
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (ok) {
        ok = exists ? storeFileCalls.replaceFile(path, temp, nullptr, 0, nullptr, nullptr)
                    : storeFileCalls.moveFileEx(temp, path,
                                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!ok) {
            DeleteFileA(temp);
        } else if (exists && GetFileAttributesA(path) != attributes) {
            SetFileAttributesA(path, attributes);  // the player's hidden or archive marks stay
        }
    }
    if (out != nullptr) {
        HeapFree(heap, 0, out);
    }
    if (old != nullptr) {
        HeapFree(heap, 0, old);
    }
    return ok;
}
