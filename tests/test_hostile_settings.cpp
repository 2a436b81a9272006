// Whatever a settings file holds, a load gives every field a value of its domain; a store keeps
// the player's lines, writes each key once, and every key reads back as stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "settings/settings_record.h"
#include "tests/support/test_files.h"

namespace {

std::mt19937 generator(20261207);  // the same files on every machine
int Below(int n) {
    return static_cast<int>(generator() % n);
}
template <size_t N>
std::string Pick(const char* const (&items)[N]) {
    return items[Below(N)];
}

const char* const kOddValues[] = {"-2147483649", "99999999999", "0x10",    " 1", "1abc", "",
                                  "1",           "0",           "2",       "-1", "16",   "+1",
                                  "\"1\"",       "4294967295",  "\x81\x5C"};
const char* const kSections[] = {"Launcher", "Video", "Sound", "Control", "Mg05", "Mg05 "};
const char* const kBreaks[] = {"\r\n", "\n", "\r"};
const char* const kBlanks[] = {"", "", " ", "\t", "\xA1\xA1"};  // A1A1: the ideographic space

std::string Bytes(int count, bool lineBreaks) {  // any value, NUL included
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(Below(256));
        c = lineBreaks || (c != '\n' && c != '\r') ? c : '\0';
    }
    return bytes;
}

// A key with an odd value or hex of any length (also cut inside a GBK character by the read
// buffer), a section, a foreign key, a comment, blanks or bytes (now and then 64 KiB), any case.
std::string Line(bool leadByte) {
    const SettingKey& key = kSettingKeys[Below(kSettingKeyCount)];
    const bool hex = key.kind == KeyKind::kBytes && Below(4) != 0;
    std::string value = hex ? "" : Pick(kOddValues);
    for (int n = !hex ? 0 : Below(2) ? 2 * key.size : Below(2 * key.size + 3); n > 0; --n) {
        value += Below(10) == 0 ? "gZ-\x5C "[Below(5)] : "0123456789abcdefABCDEF"[Below(22)];
    }
    value = hex && Below(4) == 0 ? std::string(2 * key.size - 1, 'a') + "\xB0\xA1" : value;
    const std::string lines[] = {
        key.name + Pick(kBlanks) + "=" + Pick(kBlanks) + value + Pick(kBlanks),
        "[" + Pick(kSections) + "]" + (Below(5) == 0 ? " ; note" : ""),
        "Foreign" + std::to_string(Below(9)) + " = " + Pick(kOddValues),
        "; \xD6\xD0\xCE\xC4 comment \x81\x5C",
        "",
        Bytes(Below(50) == 0 ? 65536 : Below(80), false)};
    const int kind = std::max(Below(9) - 3, 0);
    std::string line = Pick(kBlanks) + lines[kind];
    for (char& c : line) {
        c = isalpha(static_cast<unsigned char>(c)) && Below(10) == 0 ? c ^ 0x20 : c;
    }
    return leadByte ? line + static_cast<char>(0x81 + Below(0x7E)) : line;
}

// Kinds: 0 bytes of any value, 1 text, 2 UTF-8 with its mark, 3 UTF-16 (an odd byte at the end
// now and then), 4 text whose lines often end in a lead byte that hides the line break.
std::string MakeFile(int kind) {
    const bool mixed = kind == 4 || Below(6) == 0;
    const std::string lineBreak = Pick(kBreaks);
    std::string text = kind == 2 ? "\xEF\xBB\xBF" : kind == 0 ? Bytes(Below(500), true) : "";
    for (int n = kind == 0 ? 0 : Below(24); n > 0; --n) {
        text += Line(kind == 4 && Below(2) == 0);
        text += n > 1 || Below(10) < 7 ? (mixed ? Pick(kBreaks) : lineBreak) : "";
    }
    std::string wide = "\xFF\xFE";  // each byte a unit, an even one past ASCII a CJK unit
    for (unsigned char c : text) {
        wide += c < 0x80 || c % 2 ? std::string(1, c) + '\0' : std::string("\0\x4E", 2);
    }
    return kind != 3 ? text : Below(5) < 2 ? wide + "x" : wide;
}

// The file cut after every CR and LF (in UTF-16 units), also in lower-case ASCII; a lead byte
// takes the line break after it: the next piece is on the same line for the reader.
struct Piece {
    std::string bytes, ascii;
    bool joined;
};

std::vector<Piece> Pieces(std::string file) {
    const bool wide = file.compare(0, 2, "\xFF\xFE") == 0;
    const bool ansi = !wide && file.compare(0, 3, "\xEF\xBB\xBF") != 0;
    file.resize(wide ? file.size() / 2 * 2 : file.size());  // a stray byte is checked alone
    std::vector<Piece> pieces = {{file.substr(0, wide ? 2 : 0), "", false}};
    bool trail = false;
    for (size_t i = wide ? 2 : 0; i < file.size(); i += wide ? 2 : 1) {
        const bool wideChar = wide && file[i + 1] != 0;
        pieces.back().bytes.append(file, i, wide ? 2 : 1);
        pieces.back().ascii += wideChar ? '\xFF' : static_cast<char>(tolower(file[i] & 0xFF));
        if (!wideChar && (file[i] == '\n' || file[i] == '\r')) {
            pieces.push_back({"", "", trail});
        }
        trail = ansi && !trail && IsDBCSLeadByte(static_cast<BYTE>(file[i]));
    }
    return pieces;
}

bool IsKeyLine(const std::string& ascii, const std::string& name) {  // the name, blanks, "="
    const size_t at = ascii.find_first_not_of(" \t");
    if (at == std::string::npos || ascii.compare(at, name.size(), name) != 0) {
        return false;
    }
    const size_t equals = ascii.find_first_not_of(" \t", at + name.size());
    return equals != std::string::npos && ascii[equals] == '=';
}

// Pieces naming no key (nor on the line of one) stay, in order (the last may gain a line break);
// each key keeps its lines but the first, which it may replace with the lines it hid, or is added.
void ExpectStoreKeepsLines(const std::string& before, const std::string& after,
                           const std::vector<std::string>& names) {
    const bool strayByte = before.compare(0, 2, "\xFF\xFE") == 0 && before.size() % 2 == 1;
    ASSERT_TRUE(!strayByte || after.back() == before.back());
    const std::vector<Piece> old = Pieces(before), now = Pieces(after);
    std::vector<bool> owned(old.size());
    for (size_t i = 0, at = 0; i < old.size(); ++i) {
        owned[i] = old[i].joined && owned[i - 1];
        for (const std::string& name : names) {
            owned[i] = owned[i] || old[i].ascii.find(name) != std::string::npos;
        }
        const std::string& piece = old[i].bytes;
        if (owned[i] || piece.empty()) {
            continue;
        }
        const size_t length = i + 1 == old.size() ? piece.size() : std::string::npos;
        while (at < now.size() && now[at].bytes.compare(0, length, piece) != 0) {
            ++at;
        }
        ASSERT_LT(at, now.size()) << "line " << i << " lost";
        ++at;
    }
    for (const std::string& name : names) {
        int was = 0, hidden = 0, lines = 0;
        for (size_t i = 0; i < old.size(); ++i) {
            was += IsKeyLine(old[i].ascii, name);
            hidden += IsKeyLine(old[i].ascii, name) && old[i].joined && owned[i - 1];
        }
        for (const Piece& piece : now) {
            lines += IsKeyLine(piece.ascii, name);
        }
        ASSERT_TRUE(lines <= was + 1 && lines >= was - hidden) << name << was << "->" << lines;
    }
}

TEST(HostileSettingsTest, AnyFileLoadsInDomainStoresWithoutLosingLinesAndReadsBack) {
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    std::vector<std::string> names;  // in lower case
    for (const SettingKey& key : kSettingKeys) {
        names.push_back(key.name);
        CharLowerA(&names.back()[0]);
    }
    TempFolder folder("hostile");
    const std::string path = folder / "qr6_win3.ini";
    for (int file = 0; file < 5000; ++file) {
        SCOPED_TRACE("file " + std::to_string(file));
        const std::string before = file == 0 ? "" : MakeFile(file % 5);
        ASSERT_TRUE(WriteFileText(path, before));
        ASSERT_TRUE(ReadSettingsFile(path.c_str()));
        ASSERT_TRUE(SettingsRecord.ScreenBitCount == 16 || SettingsRecord.ScreenBitCount == 32);
        // The pages may leave any value of a field's domain; only their keys store the record's.
        Settings expected = SettingsRecord;
        for (const SettingKey& key : kSettingKeys) {
            uint8_t* field = static_cast<uint8_t*>(key.field(SettingsRecord));
            ASSERT_TRUE(key.kind != KeyKind::kFlag || *field <= 1) << key.name;
            std::generate(field, field + key.size, [] { return static_cast<uint8_t>(Below(256)); });
            if (key.kind == KeyKind::kFlag || key.kind == KeyKind::kBitCount) {
                memset(field, 0, key.size);
                *field = key.kind == KeyKind::kFlag ? Below(2) : 16 << Below(2);
            }
            if (key.use == KeyUse::kPage) {
                memcpy(key.field(expected), field, key.size);
            }
        }
        ASSERT_TRUE(WriteSettingsFile(path.c_str()));
        ASSERT_NO_FATAL_FAILURE(ExpectStoreKeepsLines(before, ReadFileText(path), names));
        ReadSettingsFile(path.c_str());  // through the system's reader, as the game reads
        for (const SettingKey& key : kSettingKeys) {
            ASSERT_TRUE(key.use == KeyUse::kLoaded ||
                        memcmp(key.field(SettingsRecord), key.field(expected), key.size) == 0)
                << key.name << " reads back otherwise";
        }
    }
}

}  // namespace
