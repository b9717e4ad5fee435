#pragma once
// Code page 932 (Shift-JIS with the Windows extensions) at the program's boundaries:
// file bytes, clipboard text, the 80-byte SGF line cut and the byte limits of edit fields.
// In memory all text is UTF-8.

#include <string>
#include <string_view>

namespace tavrin::sjis {

// A byte that begins a two-byte character, and a byte that may follow it as the second.
constexpr bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool isTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Length in bytes (1 or 2) of the character that begins at bytes[i].
inline size_t charLength(std::string_view bytes, size_t i) {
    return i + 1 < bytes.size() && isLead(static_cast<unsigned char>(bytes[i])) &&
                   isTrail(static_cast<unsigned char>(bytes[i + 1]))
               ? 2
               : 1;
}

// UTF-8 -> CP932 bytes. Returns false when a character has no CP932 form; such a character
// is written as "?" and the conversion goes on, so out always holds the whole text.
// A non-ASCII character that CP932 would turn into an ASCII byte (U+00A5 to 0x5C, the SGF
// escape character) counts as having no CP932 form.
bool encode(std::string_view utf8, std::string& out);

// CP932 bytes -> UTF-8. Lead-byte aware. A byte or a lead/trail pair without a character
// becomes a private-use code point of plane 15 that encode turns back into the same bytes
// (U+F0000 + byte, U+F0000 + (lead << 8 | trail)); a lead byte without its trail becomes
// U+FFFD.
std::string decode(std::string_view bytes);

// decode into out, replacing its contents (its buffer is reused).
void decodeInto(std::string_view bytes, std::string& out);

// Every byte of the text decodes to a character of code page 932 (pairs lead-byte aware).
bool validCp932(std::string_view bytes);

// Length of the text in CP932 bytes (a full-width character counts two); -1 when a
// character has no CP932 form.
int byteLength(std::string_view utf8);

// Every character of the text has a CP932 form.
bool encodable(std::string_view utf8);

// The text is well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool validUtf8(std::string_view bytes);

// UTF-8 bytes as text: every byte that is not part of a well-formed sequence becomes U+FFFD.
std::string decodeUtf8(std::string_view bytes);

// decodeUtf8 into out, replacing its contents (its buffer is reused).
void decodeUtf8Into(std::string_view bytes, std::string& out);

// UTF-8 bytes as text keeping what is broken: every byte that is not part of a well-formed
// sequence becomes U+F0000 + byte, the code point code page 932 keeps such bytes as, so the
// text is written back as it was read (see restoreKeptBytes).
void decodeUtf8KeptInto(std::string_view bytes, std::string& out);

// UTF-8 text for a UTF-8 file: each kept single byte (U+F0080..U+F00FF) becomes that byte
// again. Returns false when the text held none (out is then the text as it stands).
bool restoreKeptBytes(std::string_view text, std::string& out);

// The bytes above 0x7F of a text as UTF-8 sees them: those in well-formed two-byte
// sequences, in three- and four-byte ones, and those that belong to no well-formed sequence.
struct Utf8Tally {
    size_t twoByte = 0;
    size_t longer = 0;
    size_t broken = 0;
};
Utf8Tally tallyUtf8(std::string_view bytes);

// Index of the first byte at or after from that is not ASCII (>= 0x80); bytes.size() when
// there is none.
size_t firstHighByte(std::string_view bytes, size_t from = 0);

// Number of characters (code points) of UTF-8 text.
int charCount(std::string_view utf8);

}  // namespace tavrin::sjis
