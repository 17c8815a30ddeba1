// report_sweep: every 32-bit result code through the report code, each compared with what a formatter
// written here, from the test-side UTF-8 texts, says the pane must receive. Two threads, each half of
// the range; prints the count checked, the mismatches (the first few in full) and the time taken.
//   report_sweep [FIRST LAST]    inclusive bounds, decimal or 0x-hex; the whole range by default
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "scard/report.h"
#include "support/expected_messages.h"
#include "support/utf.h"

namespace {

using orbelin::ResultCode;
using test_support::Utf16;
using test_support::Utf8;

// Texts of the report as the product states them, in UTF-8 like the rest of the test-side texts.
constexpr const char* kConnectedUtf8 = "Connecté au service\r\n";
constexpr const char* kFailedUtf8 = "Erreur durant la connexion au service\r\n";
constexpr const char* kReturnUtf8 = "Retour :";
constexpr const char* kFallbackUtf8 = " Inconnu - ";

constexpr std::uint8_t kBold = 1;
constexpr std::uint8_t kUnderline = 4;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kBlack = 0x000000;

// An open-addressed table of the expected detail lines, keyed on the code's 32 bits; built once, read
// by both threads without locking.
class DetailLookup {
public:
    DetailLookup() {
        for (const auto& row : test_support::kExpectedMessages) {
            std::size_t slot = SlotOf(row.code);
            while (slots_[slot].used) {
                slot = (slot + 1) % kSlots;
            }
            slots_[slot].used = true;
            slots_[slot].code = row.code;
            slots_[slot].detail = u" " + Utf16(row.text) + u"\r\n";
        }
    }

    // The detail line for a code in the table, or null.
    const std::u16string* Find(std::uint32_t code) const {
        for (std::size_t slot = SlotOf(code); slots_[slot].used; slot = (slot + 1) % kSlots) {
            if (slots_[slot].code == code) {
                return &slots_[slot].detail;
            }
        }
        return nullptr;
    }

private:
    static constexpr std::size_t kSlots = 256;  // a quarter full: most lookups end at the first slot
    static std::size_t SlotOf(std::uint32_t code) { return (code * 0x9E3779B1u) >> 24; }

    struct Slot {
        bool used = false;
        std::uint32_t code = 0;
        std::u16string detail;
    };
    Slot slots_[kSlots];
};

struct Expectations {
    DetailLookup details;
    std::u16string connected = Utf16(kConnectedUtf8);
    std::u16string failed = Utf16(kFailedUtf8);
    std::u16string returnLabel = Utf16(kReturnUtf8);
    std::u16string fallback = Utf16(kFallbackUtf8);
};

// The detail line for `code`: the table's, or the fallback written into `buffer` (no heap).
std::u16string_view ExpectedDetail(const Expectations& expected, std::uint32_t code, char16_t (&buffer)[64]) {
    if (const std::u16string* row = expected.details.Find(code)) {
        return *row;
    }
    const std::u16string& prefix = expected.fallback;
    std::memcpy(buffer, prefix.data(), prefix.size() * sizeof(char16_t));
    std::size_t length = prefix.size();
    // Digits from the right of a scratch area; the magnitude as unsigned, so that INT32_MIN has one.
    const bool negative = (code & 0x80000000u) != 0;
    std::uint32_t magnitude = negative ? 0u - code : code;
    char16_t digits[10];
    char16_t* first = digits + 10;
    do {
        *--first = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        buffer[length++] = u'-';
    }
    const std::size_t count = static_cast<std::size_t>(digits + 10 - first);
    std::memcpy(buffer + length, first, count * sizeof(char16_t));
    length += count;
    buffer[length++] = u'\r';
    buffer[length++] = u'\n';
    return {buffer, length};
}

struct Mismatch {
    std::uint32_t code;
    std::string what;
};

// One per thread, each on its own cache lines: the two must not share a line that both write.
struct alignas(64) Tally {
    std::uint64_t checked = 0;
    std::uint64_t mismatches = 0;  // codes with at least one wrong piece or detail
    std::vector<Mismatch> first;   // the first few faults, in full
};

constexpr std::size_t kKeptFaults = 5;

// UTF-8 with the control characters spelt out, so that one fault stays on one line.
std::string Printable(std::u16string_view text) {
    std::string out;
    for (const char c : Utf8(text)) {
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
    }
    return out;
}

// Collects the faults of one code; the text is only built for the first few, so a broken build
// still sweeps at full speed.
class CodeCheck {
public:
    CodeCheck(Tally& tally, std::uint32_t code) : tally_(tally), code_(code) {}
    ~CodeCheck() {
        if (faulty_) {
            ++tally_.mismatches;
        }
    }
    CodeCheck(const CodeCheck&) = delete;
    CodeCheck& operator=(const CodeCheck&) = delete;

    void Text(const char* what, std::u16string_view got, std::u16string_view want) {
        if (!Same(got, want) && Keep()) {
            Add(std::string(what) + ": got \"" + Printable(got) + "\", expected \"" + Printable(want) + "\"");
        }
    }
    void Number(const char* what, unsigned long got, unsigned long want) {
        if (got != want && Keep()) {
            char text[96];
            std::snprintf(text, sizeof text, "%s: got 0x%lX, expected 0x%lX", what, got, want);
            Add(text);
        }
    }

private:
    // memcmp rather than the character-by-character loop of char_traits<char16_t>: a third of the time.
    static bool Same(std::u16string_view a, std::u16string_view b) {
        return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
    }
    bool Keep() {
        faulty_ = true;
        return tally_.first.size() < kKeptFaults;
    }
    void Add(std::string what) { tally_.first.push_back({code_, std::move(what)}); }

    Tally& tally_;
    std::uint32_t code_;
    bool faulty_ = false;
};

struct ExpectedPiece {
    std::u16string_view text;
    std::uint8_t style;
    std::uint32_t colour;
};

void CheckCode(const Expectations& expected, std::uint32_t code, Tally& tally) {
    static constexpr const char* kPieceNames[3][3] = {{"piece 0 text", "piece 0 style", "piece 0 colour"},
                                                      {"piece 1 text", "piece 1 style", "piece 1 colour"},
                                                      {"piece 2 text", "piece 2 style", "piece 2 colour"}};
    const auto result = static_cast<ResultCode>(code);
    char16_t buffer[64];
    const std::u16string_view detail = ExpectedDetail(expected, code, buffer);
    CodeCheck check(tally, code);

    check.Text("DetailText", orbelin::DetailText(result).view(), detail);

    const ExpectedPiece success[] = {{expected.connected, kBold, kGreen}};
    const ExpectedPiece failure[] = {
        {expected.failed, kBold, kRed}, {expected.returnLabel, kUnderline, kBlack}, {detail, 0, kBlack}};
    const ExpectedPiece* want = code == 0 ? success : failure;
    const std::size_t wantCount = code == 0 ? 1 : 3;

    const orbelin::Report report(result);
    check.Number("piece count", report.size(), wantCount);
    if (report.size() != wantCount) {
        return;
    }
    for (std::size_t i = 0; i < wantCount; ++i) {
        const orbelin::ReportPiece piece = report[i];
        check.Text(kPieceNames[i][0], piece.text, want[i].text);
        check.Number(kPieceNames[i][1], piece.style.bits(), want[i].style);
        check.Number(kPieceNames[i][2], piece.color, want[i].colour);
    }
}

// [first, last) over 64 bits, so that the top code is included without wrapping.
void Sweep(const Expectations& expected, std::uint64_t first, std::uint64_t last, Tally& tally) {
    for (std::uint64_t value = first; value < last; ++value) {
        CheckCode(expected, static_cast<std::uint32_t>(value), tally);
    }
    tally.checked = last - first;
}

bool ParseCode(const char* text, std::uint64_t& out) {
    char* end = nullptr;
    out = std::strtoull(text, &end, 0);
    return end != text && *end == '\0' && out <= 0xFFFFFFFFull;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t first = 0, last = 0xFFFFFFFFull;
    if (argc == 3) {
        if (!ParseCode(argv[1], first) || !ParseCode(argv[2], last) || first > last) {
            std::fprintf(stderr, "report_sweep: bad range\n");
            return 2;
        }
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: report_sweep [FIRST LAST]\n");
        return 2;
    }

    const auto start = std::chrono::steady_clock::now();
    const Expectations expected;
    const std::uint64_t end = last + 1;
    const std::uint64_t middle = first + (end - first) / 2;
    Tally low, high;
    std::thread worker([&] { Sweep(expected, middle, end, high); });
    Sweep(expected, first, middle, low);
    worker.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::uint64_t mismatches = low.mismatches + high.mismatches;
    for (const Tally* tally : {&low, &high}) {
        for (const Mismatch& m : tally->first) {
            std::printf("mismatch 0x%08X (%d) %s\n", m.code, static_cast<int>(m.code), m.what.c_str());
        }
    }
    std::printf("sweep_checked %llu codes\n", static_cast<unsigned long long>(low.checked + high.checked));
    std::printf("sweep_mismatches %llu codes\n", static_cast<unsigned long long>(mismatches));
    std::printf("sweep_time %.1f s\n", seconds);
    return mismatches == 0 ? 0 : 1;
}
