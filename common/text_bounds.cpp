// Bounded operations on 8-bit texts in the system code page.
#include "common/text_bounds.h"

#include <cstring>

const char* NextChar(const char* p) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') {
        return p + 2;
    }
    return p + 1;
}

// Copies at most room - 1 bytes of src to dst, never splitting a double-byte character.
static bool CopyBounded(char* dst, size_t room, const char* src) {
    if (room == 0) {
        return false;
    }
    const char* end = src;
    while (*end != '\0') {
        const char* next = NextChar(end);
        if (static_cast<size_t>(next - src) > room - 1) {
            break;
        }
        end = next;
    }
    size_t length = static_cast<size_t>(end - src);
    memmove(dst, src, length);
    dst[length] = '\0';
    return *end == '\0';
}

bool CopyText(char* dst, size_t size, const char* src) {
    return CopyBounded(dst, size, src);
}

bool AppendText(char* dst, size_t size, const char* src) {
    size_t used = strnlen(dst, size);
    if (used >= size) {
        dst[size - 1] = '\0';
        return false;
    }
    return CopyBounded(dst + used, size - used, src);
}

char* FindFirstBackslash(char* text) {
    for (const char* p = text; *p != '\0'; p = NextChar(p)) {
        if (*p == '\\') {
            return const_cast<char*>(p);
        }
    }
    return nullptr;
}

char* FindLastBackslash(char* text) {
    char* last = nullptr;
    for (const char* p = text; *p != '\0'; p = NextChar(p)) {
        if (*p == '\\') {
            last = const_cast<char*>(p);
        }
    }
    return last;
}
