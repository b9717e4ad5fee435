// The CP932 decoder on any bytes: well-formed UTF-8 out, every byte accounted for, and a
// decoded text that encodes comes back unchanged through encode and decode.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Sjis.h"
#include "fuzz/FuzzSupport.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = sjis::decode(bytes);
    FUZZ_EXPECT(sjis::validUtf8(text));
    // One character for every byte or pair of bytes: nothing is dropped.
    const size_t chars = static_cast<size_t>(sjis::charCount(text));
    FUZZ_EXPECT(chars <= size && chars * 2 >= size);

    std::string encoded;
    const bool all = sjis::encode(text, encoded);
    FUZZ_EXPECT(all == sjis::encodable(text));
    if (all) {
        FUZZ_EXPECT(static_cast<int>(encoded.size()) == sjis::byteLength(text));
        FUZZ_EXPECT(sjis::decode(encoded) == text);
    }
    // Any bytes taken as UTF-8 text: encode never fails to give the whole text.
    std::string out;
    sjis::encode(bytes, out);
    FUZZ_EXPECT(sjis::byteLength(bytes) < 0 || static_cast<int>(out.size()) == sjis::byteLength(bytes));
    return 0;
}
