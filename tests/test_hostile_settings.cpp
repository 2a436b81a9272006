// Hostile settings files: whatever the file holds, a load gives every field a value of its
// domain, and a following store keeps the player's own lines byte for byte, in order, writes each
// of the program's keys once, and every stored key then reads back through the system's profile
// reader exactly as stored.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings_record.h"
#include "tests/support/test_files.h"

namespace {

const char* const kOddValues[] = {
    "-2147483649", "99999999999", "0x10",       " 1",  "1abc",     "",
    "1",           "0",           "2",          "-1",  "16",       "24",
    "+1",          "\"1\"",       "4294967295", "1\t", "\x81\x5C", "\xB0\x5C\xB0\xA1"};

class Random {
  public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t Next() {  // xorshift32: the same files on every machine
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

  private:
    uint32_t state_;
};

// The settings file the generator makes: text lines, then an encoding around them.
class FileMaker {
  public:
    explicit FileMaker(Random& random) : r_(random) {}

    // Kinds: 0 bytes of any value, 1 text, 2 UTF-8 with its mark, 3 UTF-16, 4 text whose lines
    // often end in a lone GBK lead byte (which hides the line break from the reader). A long
    // file has a line of 64 KiB somewhere.
    std::string Make(int kind) {
        if (kind == 0) {  // bytes of any value, NUL and line breaks included
            std::string bytes(r_.Below(500), '\0');
            for (char& c : bytes) {
                c = static_cast<char>(r_.Next());
            }
            return bytes;
        }
        const char* breaks[] = {"\r\n", "\n", "\r"};
        bool mixed = r_.Chance(15) || kind == 4;
        const char* lineBreak = r_.Pick(breaks);
        bool finalBreak = r_.Chance(70);
        std::string text;
        for (int n = r_.Below(24); n > 0; --n) {
            text += Line();
            if (kind == 4 && r_.Chance(30)) {
                text += static_cast<char>(0x81 + r_.Below(0x7E));
            }
            if (n > 1 || finalBreak) {
                text += mixed ? r_.Pick(breaks) : lineBreak;
            }
        }
        if (kind == 2) {
            return "\xEF\xBB\xBF" + text;
        }
        if (kind == 3) {  // UTF-16 LE: each byte becomes a unit, now and then a CJK one
            std::string wide = "\xFF\xFE";
            for (unsigned char c : text) {
                bool cjk = c >= 0x80 && r_.Chance(50);
                wide += static_cast<char>(cjk ? 0x00 : c);
                wide += static_cast<char>(cjk ? (r_.Chance(50) ? 0x30 : 0x4E) : 0x00);
            }
            return r_.Chance(40) ? wide + "x" : wide;  // an odd byte at the end
        }
        return text;
    }

  private:
    std::string Spaces() {
        const char* spaces[] = {"", "", " ", "\t", "  ", "\xA1\xA1"};  // A1A1: ideographic space
        return r_.Pick(spaces);
    }
    std::string Mangle(std::string name) {  // names match in any letter case
        for (char& c : name) {
            if (r_.Chance(10) && isalpha(static_cast<unsigned char>(c))) {
                c ^= 0x20;
            }
        }
        return name;
    }
    std::string Array(size_t length) {
        std::string hex;
        switch (r_.Below(4)) {
            case 0:  // a double-byte character that the read buffer cuts in two
                hex.assign(length - 1, 'a');
                return hex + "\xB0\xA1";
            case 1:
                length = r_.Below(40);  // any length
                break;
            case 2:
                length += r_.Chance(50) ? 1 : -1;  // odd lengths
                break;
        }
        for (size_t i = 0; i < length; ++i) {
            hex += r_.Chance(10) ? "gZ-\x5C "[r_.Below(5)] : "0123456789abcdefABCDEF"[r_.Below(22)];
        }
        return hex;
    }
    std::string Line() {
        std::string s = Spaces();
        switch (r_.Below(10)) {
            case 0:
            case 1: {
                const char* foreign[] = {"Launcher", "Video", "vIDEO", "Sound",
                                         "Control",  "Mg05",  "Mg05 ", " Video"};
                s += "[" + Mangle(r_.Pick(foreign)) + "]";
                return r_.Chance(20) ? s + " ; note" : s;
            }
            case 2:
            case 3:
            case 4: {  // a key of the program's, EnvMapOn included
                const SettingKey& key = kSettingKeys[r_.Below(kSettingKeyCount)];
                bool array = key.kind == KeyKind::kBytes && r_.Chance(70);
                return s + Mangle(key.name) + Spaces() + "=" + Spaces() +
                       (array ? Array(2u * key.size) : r_.Pick(kOddValues)) + Spaces();
            }
            case 5:
                return s + "Foreign" + std::to_string(r_.Below(9)) + " = " + r_.Pick(kOddValues);
            case 6:
                return s + "; \xD6\xD0\xCE\xC4 comment \x81\x5C";
            case 7:
                return s;  // blank, or white space only
            default: {     // bytes of any value except line breaks, now and then 64 KiB of them
                std::string bytes(r_.Chance(2) ? 65536 : r_.Below(80), 'x');
                for (char& c : bytes) {
                    c = static_cast<char>(r_.Next() % 256);
                    if (c == '\n' || c == '\r') {
                        c = '\0';
                    }
                }
                return s + bytes;
            }
        }
    }

    Random& r_;
};

// The file cut after every CR and LF (two-byte units in a UTF-16 file), each piece also as
// lower-case ASCII (anything wide a 0xFF). In a file read in the system's code page, a piece
// whose line break a lone lead byte took goes on into the next: the reader sees one line.
struct FileView {
    std::vector<std::string> pieces, narrow;
    std::vector<bool> continues;  // the piece goes on the line of the one before
};

FileView View(std::string file) {
    const bool wide = file.compare(0, 2, "\xFF\xFE") == 0;
    const bool ansi = !wide && file.compare(0, 3, "\xEF\xBB\xBF") != 0;
    if (wide && file.size() % 2 == 1) {
        file.pop_back();  // the stray byte stays last: checked on its own
    }
    const size_t unit = wide ? 2 : 1;
    FileView view;
    bool joined = false;
    size_t start = 0;
    for (size_t i = wide ? 2 : 0;; i += unit) {
        const bool end = i + unit > file.size();
        if (!end && !((file[i] == '\n' || file[i] == '\r') && (unit == 1 || file[i + 1] == 0))) {
            continue;
        }
        std::string piece = file.substr(start, end ? std::string::npos : i + unit - start);
        start = i + unit;
        std::string narrow;
        for (size_t j = 0; j < piece.size(); j += unit) {
            bool wideChar = wide && j + 1 < piece.size() && piece[j + 1] != 0;
            narrow += wideChar ? '\xFF' : static_cast<char>(tolower(piece[j] & 0xFF));
        }
        view.pieces.push_back(piece);
        view.narrow.push_back(narrow);
        view.continues.push_back(joined);
        joined = false;
        for (size_t j = 0; ansi && j < piece.size(); ++j) {
            if (IsDBCSLeadByte(static_cast<BYTE>(piece[j])) && j + 1 < piece.size()) {
                joined = !end && j + 2 == piece.size();
                ++j;
            }
        }
        if (end) {
            return view;
        }
    }
}

// A line of the key: its name first (after blanks), then "=".
bool IsKeyLine(const std::string& narrow, const std::string& name) {
    size_t at = narrow.find_first_not_of(" \t");
    if (at == std::string::npos || narrow.compare(at, name.size(), name) != 0) {
        return false;
    }
    at = narrow.find_first_not_of(" \t", at + name.size());
    return at != std::string::npos && narrow[at] == '=';
}

// The player's lines (pieces naming none of the program's keys, and not part of a line that
// does) are all in the new file, in order and unchanged; a last line without a line break may
// have gained one. Each of the program's keys is written once: it replaces the line the load
// read, or is added once.
void ExpectStoreKeepsLines(const std::string& before, const std::string& after,
                           const std::vector<std::string>& names, int file) {
    if (before.compare(0, 2, "\xFF\xFE") == 0 && before.size() % 2 == 1) {
        ASSERT_EQ(after.back(), before.back()) << "file " << file;
    }
    FileView old = View(before), now = View(after);
    std::vector<bool> owned(old.pieces.size());
    size_t at = 0;
    for (size_t i = 0; i < old.pieces.size(); ++i) {
        for (const std::string& name : names) {
            owned[i] = owned[i] || old.narrow[i].find(name) != std::string::npos;
        }
        owned[i] = owned[i] || (old.continues[i] && owned[i - 1]);
        const std::string& piece = old.pieces[i];
        if (owned[i] || piece.empty()) {
            continue;
        }
        bool last = i + 1 == old.pieces.size();
        while (at < now.pieces.size() && (last ? now.pieces[at].compare(0, piece.size(), piece) != 0
                                               : now.pieces[at] != piece)) {
            ++at;
        }
        ASSERT_LT(at, now.pieces.size()) << "file " << file << ": line " << i << " lost";
        ++at;
    }
    for (const std::string& name : names) {
        int lines = 0, before = 0, hidden = 0;
        for (const std::string& narrow : now.narrow) {
            lines += IsKeyLine(narrow, name);
        }
        for (size_t i = 0; i < old.pieces.size(); ++i) {
            before += IsKeyLine(old.narrow[i], name);
            // A line hidden in the line of a key may go with it.
            hidden += IsKeyLine(old.narrow[i], name) && old.continues[i] && owned[i - 1];
        }
        ASSERT_TRUE(lines <= before + 1 && lines >= before - hidden)
            << "file " << file << ": " << name << " " << before << " -> " << lines;
    }
}

int32_t Number(const SettingKey& key, Settings& record) {
    int32_t value = 0;
    memcpy(&value, key.field(record), key.size);  // little-endian: a byte is its own value
    return value;
}

// Every field in its domain: flags 0 or 1, 16 or 32 bits, the adapter record empty but for the
// two numbers of the file.
void ExpectInDomain(Settings& s, int file) {
    for (const SettingKey& key : kSettingKeys) {
        if (key.kind == KeyKind::kFlag) {
            ASSERT_LE(Number(key, s), 1) << key.name << " file " << file;
        } else if (key.kind == KeyKind::kBitCount) {
            ASSERT_TRUE(Number(key, s) == 16 || Number(key, s) == 32) << "file " << file;
        }
    }
    D3DADAPTER_IDENTIFIER8 identifier = s.AdapterIdentifier;
    identifier.VendorId = identifier.DeviceId = 0;
    const D3DADAPTER_IDENTIFIER8 empty = {};
    ASSERT_EQ(memcmp(&identifier, &empty, sizeof identifier), 0) << "file " << file;
}

// Each field a value of its domain, as the pages would leave it.
void Scramble(Random& r, Settings& s) {
    for (const SettingKey& key : kSettingKeys) {
        uint8_t* field = static_cast<uint8_t*>(key.field(s));
        for (int i = 0; i < key.size; ++i) {
            field[i] = static_cast<uint8_t>(r.Next());
        }
        if (key.kind == KeyKind::kFlag) {
            field[0] &= 1;
        } else if (key.kind == KeyKind::kBitCount) {
            int32_t bits = r.Chance(50) ? 16 : 32;
            memcpy(field, &bits, sizeof bits);
        }
    }
}

// The text the file must hold for the key: a number, or two hexadecimal digits a byte.
std::string Text(const SettingKey& key, Settings& s) {
    char text[40] = "";
    if (key.kind != KeyKind::kBytes) {
        snprintf(text, sizeof text, "%d", static_cast<int>(Number(key, s)));
        return text;
    }
    for (int i = 0; i < key.size; ++i) {
        snprintf(text + 2 * i, 3, "%02x", static_cast<uint8_t*>(key.field(s))[i]);
    }
    return text;
}

// What the system's profile reader gives for each key of the program: the value of the first
// entry of its name in its section as the reader lists it (one call a section, not one a key:
// this runs on every file).
std::vector<std::string> ReaderValues(const std::string& path) {
    static std::vector<char> entries(1 << 20);
    std::vector<std::string> values;
    const char* listed = nullptr;
    for (const SettingKey& key : kSettingKeys) {
        if (listed == nullptr || strcmp(listed, key.section) != 0) {
            listed = key.section;
            GetPrivateProfileSectionA(key.section, entries.data(),
                                      static_cast<DWORD>(entries.size()), path.c_str());
        }
        values.push_back("<missing>");
        for (const char* entry = entries.data(); *entry != '\0'; entry += strlen(entry) + 1) {
            const char* equals = strchr(entry, '=');
            if (equals != nullptr && static_cast<size_t>(equals - entry) == strlen(key.name) &&
                _strnicmp(entry, key.name, strlen(key.name)) == 0) {
                values.back() = equals + 1;
                break;
            }
        }
    }
    return values;
}

TEST(HostileSettingsTest, AnyFileLoadsInDomainStoresWithoutLosingLinesAndReadsBack) {
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    std::vector<std::string> names;
    for (const SettingKey& key : kSettingKeys) {
        if (key.use != KeyUse::kLoaded) {
            names.push_back(key.name);
            for (char& c : names.back()) {
                c = static_cast<char>(tolower(c));
            }
        }
    }
    TempFolder folder("hostile");
    const std::string path = folder / "qr6_win3.ini";
    Random random(20261207);
    FileMaker maker(random);
    for (int file = 0; file < 5000; ++file) {
        std::string before = file == 0 ? std::string() : maker.Make(file % 5);
        ASSERT_TRUE(WriteFileText(path, before));
        ASSERT_TRUE(ReadSettingsFile(path.c_str())) << "file " << file;
        ASSERT_NO_FATAL_FAILURE(ExpectInDomain(SettingsRecord, file));

        // A page's keys are stored as the record holds them; the others as the file has them.
        Settings expected = SettingsRecord;
        Scramble(random, SettingsRecord);
        for (const SettingKey& key : kSettingKeys) {
            if (key.use == KeyUse::kPage) {
                memcpy(key.field(expected), key.field(SettingsRecord), key.size);
            }
        }
        ASSERT_TRUE(WriteSettingsFile(path.c_str())) << "file " << file;
        ASSERT_NO_FATAL_FAILURE(ExpectStoreKeepsLines(before, ReadFileText(path), names, file));
        const std::vector<std::string> read = ReaderValues(path);
        for (int k = 0; k < kSettingKeyCount; ++k) {
            const SettingKey& key = kSettingKeys[k];
            if (key.use != KeyUse::kLoaded) {
                ASSERT_EQ(read[k], Text(key, expected)) << key.name << " file " << file;
            }
        }
    }
}

TEST(HostileSettingsTest, AFolderWhereTheFileShouldBeGivesDefaultsAndAFailedStore) {
    TempFolder folder("hostile");
    const std::string path = folder / "qr6_win3.ini";
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_TRUE(ReadSettingsFile(path.c_str()));  // no file: nothing to protect from a store
    ExpectInDomain(SettingsRecord, 0);
    EXPECT_EQ(SettingsRecord.PadSensitivity, 60);
    EXPECT_FALSE(WriteSettingsFile(path.c_str()));
    EXPECT_TRUE(FolderExists(path));
}

}  // namespace
