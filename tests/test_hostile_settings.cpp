// Hostile settings files: whatever the file holds, a load gives every field a value of its
// domain, and a following store keeps the player's own lines byte for byte, in order, and writes
// each of the program's keys exactly once, where the next load finds it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings_record.h"
#include "tests/support/test_files.h"

namespace {

const char* const kSections[] = {"Video", "Sound", "Control", "Mg05"};
// The keys a store writes, by section (EnvMapOn is read but never written).
const char* const kKeys[] = {
    "Adapter Device ScreenWidth ScreenHeight ScreenBitCount VendorID DeviceID "
    "HardwareVertexShader WindowMode UseMipmap WaitVSync LowTexture TextureFilter FpsMode "
    "FullAntiAlias LowEffect ShadowQuality MinimapMode StatusMode Menu GlowOn MoviePlay",
    "BgmOff SeOff BgmVolume SeVolume NotUseDirectSound NotUseDirectSound3d BtVoiceOff "
    "SoftwareSoundBuffer",
    "Camera45Deg UseGamaPad KeyboardUseDI MouseUseDI DefaultRun ChrTrans Analog LastAccessFile "
    "ButtonMode Keyboard GamePad PadDeviceNo PadSensitivity Mouse UseWheel WheelReverse",
    "MG05InversY MG05Sensitive"};
const char* const kOddValues[] = {
    "-2147483649", "99999999999", "0x10",       " 1",  "1abc",     "",
    "1",           "0",           "2",          "-1",  "16",       "24",
    "+1",          "\"1\"",       "4294967295", "1\t", "\x81\x5C", "\xB0\x5C\xB0\xA1"};

struct Key {
    std::string section, name;
};

std::vector<Key> OwnedKeys() {
    std::vector<Key> keys;
    for (int s = 0; s < 4; ++s) {
        std::string list = kKeys[s];
        for (size_t at = 0; at < list.size();) {
            size_t end = std::min(list.find(' ', at), list.size());
            keys.push_back({kSections[s], list.substr(at, end - at)});
            at = end + 1;
        }
    }
    return keys;
}

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
    FileMaker(Random& random, const std::vector<Key>& keys) : r_(random), keys_(keys) {}

    // Kinds: 0 bytes of any value, 1 text, 2 UTF-8 with its mark, 3 UTF-16. A long file has a
    // line of 64 KiB somewhere (the reader parses the file again for every key, so only a few).
    std::string Make(int kind, bool longLine) {
        longLine_ = longLine;
        if (kind == 0) {  // bytes of any value, NUL and line breaks included
            std::string bytes(r_.Below(500), '\0');
            for (char& c : bytes) {
                c = static_cast<char>(r_.Next());
            }
            return bytes;
        }
        const char* breaks[] = {"\r\n", "\n", "\r"};
        bool mixed = r_.Chance(15);
        const char* lineBreak = r_.Pick(breaks);
        bool finalBreak = r_.Chance(70);
        std::string text;
        for (int n = r_.Below(24); n > 0; --n) {
            text += Line();
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
    std::string Array(const std::string& name) {
        size_t length = name == "Keyboard" ? 30 : name == "GamePad" ? 20 : 4;
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
            case 4: {
                const Key& key = keys_[r_.Below(static_cast<int>(keys_.size()))];
                bool array = key.name == "Keyboard" || key.name == "GamePad" || key.name == "Mouse";
                return s + Mangle(key.name) + Spaces() + "=" + Spaces() +
                       (array && r_.Chance(70) ? Array(key.name) : r_.Pick(kOddValues)) + Spaces();
            }
            case 5:
                return s + "Foreign" + std::to_string(r_.Below(9)) + " = " + r_.Pick(kOddValues);
            case 6:
                return s + "; \xD6\xD0\xCE\xC4 comment \x81\x5C";
            case 7:
                return s;  // blank, or white space only
            case 8: {      // bytes of any value except line breaks, now and then 64 KiB of them
                std::string bytes(r_.Chance(2) ? 65536 : r_.Below(80), 'x');
                for (char& c : bytes) {
                    c = static_cast<char>(r_.Next() % 256);
                    if (c == '\n' || c == '\r') {
                        c = '\0';
                    }
                }
                return s + bytes;
            }
            default:
                return s + "EnvMapOn=" + r_.Pick(kOddValues);
        }
    }

    Random& r_;
    const std::vector<Key>& keys_;
    bool longLine_ = false;
};

// The file cut after every CR and LF, for two-byte units in a UTF-16 file.
std::vector<std::string> Pieces(const std::string& file) {
    size_t unit = file.size() >= 2 && (file.compare(0, 2, "\xFF\xFE") == 0) ? 2 : 1;
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = unit == 2 ? 2 : 0; i + unit <= file.size(); i += unit) {
        bool isBreak = (file[i] == '\n' || file[i] == '\r') && (unit == 1 || file[i + 1] == 0);
        if (isBreak) {
            pieces.push_back(file.substr(start, i + unit - start));
            start = i + unit;
        }
    }
    pieces.push_back(file.substr(start));
    return pieces;
}

// A piece as lower-case ASCII: UTF-16 units become one byte, anything wide a 0xFF.
std::string Narrow(const std::string& piece, bool wide) {
    std::string narrow;
    for (size_t i = 0; i < piece.size(); i += wide ? 2 : 1) {
        char c = piece[i];
        if (wide && i + 1 < piece.size() && piece[i + 1] != 0) {
            c = '\xFF';
        }
        narrow += static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    return narrow;
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

// Writes every stored field with a value of its domain, as the pages would.
void Scramble(Random& r) {
    Settings& s = SettingsRecord;
    auto flag = [&r]() { return static_cast<uint8_t>(r.Next() & 1); };
    auto byte = [&r]() { return static_cast<uint8_t>(r.Next()); };
    auto any = [&r]() { return static_cast<int32_t>(r.Next()); };
    s.Adapter = any(), s.Device = any(), s.ScreenWidth = any(), s.ScreenHeight = any();
    s.ScreenBitCount = r.Chance(50) ? 16 : 32;
    s.AdapterIdentifier.VendorId = r.Next(), s.AdapterIdentifier.DeviceId = r.Next();
    s.TextureFilter = byte(), s.FpsMode = byte(), s.FullAntiAlias = byte();
    s.HardwareVertexShader = flag(), s.WindowMode = flag(), s.WaitVSync = flag();
    s.LowTexture = flag(), s.UseMipmap = flag(), s.LowEffect = flag(), s.ShadowQuality = byte();
    s.MinimapMode = any(), s.StatusMode = flag(), s.Menu = flag(), s.GlowOn = byte();
    s.MoviePlay = flag(), s.BgmVolume = byte(), s.SeVolume = byte(), s.BgmOff = flag();
    s.SeOff = flag(), s.BtVoiceOff = flag(), s.NotUseDirectSound = flag();
    s.NotUseDirectSound3d = flag(), s.SoftwareSoundBuffer = flag(), s.Camera45Deg = flag();
    s.MouseUseDI = flag(), s.KeyboardUseDI = flag(), s.UseGamaPad = flag(), s.DefaultRun = flag();
    s.ChrTrans = flag(), s.Analog = flag(), s.ButtonMode = any(), s.LastAccessFile = any();
    s.PadDeviceNo = byte(), s.PadSensitivity = byte(), s.UseWheel = flag();
    s.WheelReverse = flag(), s.MG05Sensitive = any(), s.MG05InversY = flag();
    for (uint8_t& b : s.Keyboard) b = byte();
    for (uint8_t& b : s.GamePad) b = byte();
    for (uint8_t& b : s.Mouse) b = byte();
}

// Every field in its domain: flags 0 or 1, 16 or 32 bits, the adapter record empty but for the
// two numbers of the file.
void ExpectInDomain(const Settings& s, int file) {
    const uint8_t flags[] = {s.HardwareVertexShader,
                             s.WindowMode,
                             s.WaitVSync,
                             s.LowTexture,
                             s.UseMipmap,
                             s.LowEffect,
                             s.StatusMode,
                             s.Menu,
                             s.EnvMapOn,
                             s.MoviePlay,
                             s.BgmOff,
                             s.SeOff,
                             s.BtVoiceOff,
                             s.NotUseDirectSound,
                             s.NotUseDirectSound3d,
                             s.SoftwareSoundBuffer,
                             s.Camera45Deg,
                             s.MouseUseDI,
                             s.KeyboardUseDI,
                             s.UseGamaPad,
                             s.DefaultRun,
                             s.ChrTrans,
                             s.Analog,
                             s.UseWheel,
                             s.WheelReverse,
                             s.MG05InversY};
    for (uint8_t flag : flags) {
        ASSERT_LE(flag, 1) << "file " << file;
    }
    ASSERT_TRUE(s.ScreenBitCount == 16 || s.ScreenBitCount == 32) << "file " << file;
    D3DADAPTER_IDENTIFIER8 identifier = s.AdapterIdentifier;
    identifier.VendorId = identifier.DeviceId = 0;
    const D3DADAPTER_IDENTIFIER8 empty = {};
    ASSERT_EQ(memcmp(&identifier, &empty, sizeof identifier), 0) << "file " << file;
}

// The fields a store writes, for comparing a store with the load that follows it.
std::vector<int64_t> Stored(const Settings& s) {
    std::vector<int64_t> v = {s.Adapter,
                              s.Device,
                              s.ScreenWidth,
                              s.ScreenHeight,
                              s.ScreenBitCount,
                              s.AdapterIdentifier.VendorId,
                              s.AdapterIdentifier.DeviceId,
                              s.TextureFilter,
                              s.FpsMode,
                              s.FullAntiAlias,
                              s.HardwareVertexShader,
                              s.WindowMode,
                              s.WaitVSync,
                              s.LowTexture,
                              s.UseMipmap,
                              s.LowEffect,
                              s.ShadowQuality,
                              s.MinimapMode,
                              s.StatusMode,
                              s.Menu,
                              s.GlowOn,
                              s.MoviePlay,
                              s.BgmVolume,
                              s.SeVolume,
                              s.BgmOff,
                              s.SeOff,
                              s.BtVoiceOff,
                              s.NotUseDirectSound,
                              s.NotUseDirectSound3d,
                              s.SoftwareSoundBuffer,
                              s.Camera45Deg,
                              s.MouseUseDI,
                              s.KeyboardUseDI,
                              s.UseGamaPad,
                              s.DefaultRun,
                              s.ChrTrans,
                              s.Analog,
                              s.ButtonMode,
                              s.LastAccessFile,
                              s.PadDeviceNo,
                              s.PadSensitivity,
                              s.UseWheel,
                              s.WheelReverse,
                              s.MG05Sensitive,
                              s.MG05InversY};
    v.insert(v.end(), s.Keyboard, s.Keyboard + kKeyboardSlots);
    v.insert(v.end(), s.GamePad, s.GamePad + kGamePadSlots);
    v.insert(v.end(), s.Mouse, s.Mouse + kMouseSlots);
    return v;
}

struct FileView {
    std::vector<std::string> pieces, narrow;
};

FileView View(std::string file) {
    bool wide = file.compare(0, 2, "\xFF\xFE") == 0;
    if (wide && file.size() % 2 == 1) {
        file.pop_back();  // the stray byte stays last: checked on its own
    }
    FileView view{Pieces(file), {}};
    for (const std::string& piece : view.pieces) {
        view.narrow.push_back(Narrow(piece, wide));
    }
    return view;
}

// The player's lines (pieces naming none of the program's keys) are all in the new file, in
// order and unchanged; a last line without a line break may have gained one. Each of the
// program's keys is written once: it replaces the line the load read, or is added once.
void ExpectStoreKeepsLines(const std::string& before, const std::string& after,
                           const std::vector<std::string>& names, int file) {
    if (before.compare(0, 2, "\xFF\xFE") == 0 && before.size() % 2 == 1) {
        ASSERT_EQ(after.back(), before.back()) << "file " << file;
    }
    FileView old = View(before), now = View(after);
    size_t at = 0;
    for (size_t i = 0; i < old.pieces.size(); ++i) {
        bool owned = false;
        for (const std::string& name : names) {
            owned = owned || old.narrow[i].find(name) != std::string::npos;
        }
        if (owned || old.pieces[i].empty()) {
            continue;
        }
        const std::string& piece = old.pieces[i];
        bool last = i + 1 == old.pieces.size();
        while (at < now.pieces.size() && (last ? now.pieces[at].compare(0, piece.size(), piece) != 0
                                               : now.pieces[at] != piece)) {
            ++at;
        }
        ASSERT_LT(at, now.pieces.size()) << "file " << file << ": line " << i << " lost";
        ++at;
    }
    for (const std::string& name : names) {
        int added = 0;
        for (const std::string& narrow : now.narrow) {
            added += IsKeyLine(narrow, name);
        }
        for (const std::string& narrow : old.narrow) {
            added -= IsKeyLine(narrow, name);
        }
        ASSERT_TRUE(added == 0 || added == 1) << "file " << file << ": " << name << " " << added;
    }
}

TEST(HostileSettingsTest, AnyFileLoadsInDomainAndStoresWithoutLosingLines) {
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    const std::vector<Key> keys = OwnedKeys();
    std::vector<std::string> names;
    for (const Key& key : keys) {
        names.push_back(Narrow(key.name, false));
    }
    TempFolder folder("hostile");
    const std::string path = folder / "qr6_win3.ini";
    Random random(20261207);
    FileMaker maker(random, keys);
    const int kFiles = 5000;
    for (int file = 0; file < kFiles; ++file) {
        std::string before = file == 0 ? std::string() : maker.Make(file % 4, file % 1000 == 1);
        ASSERT_TRUE(WriteFileText(path, before));
        ReadSettingsFile(path.c_str());
        ASSERT_NO_FATAL_FAILURE(ExpectInDomain(SettingsRecord, file));
        uint8_t envMapOn = SettingsRecord.EnvMapOn;

        Scramble(random);
        std::vector<int64_t> stored = Stored(SettingsRecord);
        ASSERT_TRUE(WriteSettingsFile(path.c_str())) << "file " << file;
        std::string after = ReadFileText(path);
        ASSERT_NO_FATAL_FAILURE(ExpectStoreKeepsLines(before, after, names, file));

        // The game reads what was stored; the key the program never writes is left alone. (A
        // quarter of the files of each kind: Wine's reader opens and parses the file again for
        // every key, and this test runs in every test run.)
        if ((file / 4) % 4 != 0) {
            continue;
        }
        ReadSettingsFile(path.c_str());
        ASSERT_EQ(Stored(SettingsRecord), stored) << "file " << file;
        ASSERT_EQ(SettingsRecord.EnvMapOn, envMapOn) << "file " << file;
    }
}

TEST(HostileSettingsTest, AFolderWhereTheFileShouldBeGivesDefaultsAndAFailedStore) {
    TempFolder folder("hostile");
    const std::string path = folder / "qr6_win3.ini";
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    ReadSettingsFile(path.c_str());
    ExpectInDomain(SettingsRecord, 0);
    EXPECT_EQ(SettingsRecord.PadSensitivity, 60);
    EXPECT_FALSE(WriteSettingsFile(path.c_str()));
    EXPECT_TRUE(FolderExists(path));
}

}  // namespace
