// The message table row by row, the unknown-code fallback around it, and the narrowing of platform codes.
#include "scard/result_codes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "scard/report.h"
#include "support/expected_messages.h"
#include "support/utf.h"

namespace orbelin {
namespace {

using test_support::kExpectedMessages;
using test_support::Utf16;
using test_support::Utf8;

ResultCode Code(std::uint32_t bits) {
    return static_cast<ResultCode>(bits);
}

// The table's sentence for a code, expanded from its packed bytes.
std::u16string Message(std::uint32_t bits) {
    const MessageText text = MessageForResult(Code(bits));
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
    }
    return out;
}

TEST(MessageTable, EveryRowReadsExactlyAsWritten) {
    ASSERT_EQ(std::size(kExpectedMessages), 67u);
    for (const auto& row : kExpectedMessages) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Utf8(Message(row.code)), row.text);
        EXPECT_EQ(Utf8(DetailText(Code(row.code)).view()), std::string(" ") + row.text + "\r\n");
    }
}

TEST(MessageTable, KeepsItsUnusualCharacters) {
    EXPECT_EQ(Message(0x80100002).back(), u' ');
    EXPECT_EQ(Message(0x8010002F).front(), u'\t');
    const std::u16string remote = Message(109);
    EXPECT_EQ(std::count(remote.begin(), remote.end(), u'\u2019'), 3);
    EXPECT_EQ(remote.find(u'\''), std::u16string::npos);
    EXPECT_EQ(Utf8(DetailText(Code(0x8010002F)).view()).substr(0, 2), " \t");
}

// Every code near the table that is not one of its rows gets the fallback, written in signed decimal.
TEST(MessageTable, CodesOutsideTheTableGetTheFallback) {
    std::set<std::uint32_t> known;
    for (const auto& row : kExpectedMessages) {
        known.insert(row.code);
    }
    auto checkRange = [&](std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t bits = first; bits <= last; ++bits) {
            if (known.count(bits) == 0) {
                SCOPED_TRACE(bits);
                EXPECT_TRUE(MessageForResult(Code(bits)).empty());
                EXPECT_EQ(Utf8(DetailText(Code(bits)).view()), " Inconnu - " + std::to_string(Code(bits)) + "\r\n");
            }
        }
    };
    checkRange(0x80100000, 0x80100100);
    checkRange(0, 300);
    checkRange(0x8007006D - 2, 0x8007006D + 2);
}

TEST(MessageTable, FallbackSpellsTheCodeInSignedDecimal) {
    struct Case {
        std::uint32_t bits;
        const char* detail;
    };
    const Case cases[] = {
        {5, " Inconnu - 5\r\n"},
        {0x80100035, " Inconnu - -2146435019\r\n"},
        {0x80100064, " Inconnu - -2146434972\r\n"},
        {0x80100073, " Inconnu - -2146434957\r\n"},
        {0x80000000, " Inconnu - -2147483648\r\n"},
        {0x8007006D, " Inconnu - -2147024787\r\n"},  // the broken-pipe number in a larger code
        {0x7FFFFFFF, " Inconnu - 2147483647\r\n"},
        {0xFFFFFFFF, " Inconnu - -1\r\n"},
        {1, " Inconnu - 1\r\n"},
        {10, " Inconnu - 10\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8(DetailText(Code(c.bits)).view()), c.detail) << std::hex << c.bits;
    }
}

TEST(PlatformCode, NarrowsToSigned32Bits) {
    struct Case {
        long long platform;
        ResultCode expected;
    };
    const Case cases[] = {
        {0, 0},
        {109, 109},
        {-2146435043LL, -2146435043},  // sign-extended 0x8010001D
        {0x8010001DLL, -2146435043},   // the same code as an unsigned 32-bit value
        {0xFFFFFFFFLL, -1},
        {INT32_MIN, INT32_MIN},
        {0x100000000LL, kScardUnknownError},  // would truncate to success
        {-0x100000000LL, kScardUnknownError},
        {0x180100001LL, kScardUnknownError},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResultCodeFromPlatform(c.platform), c.expected) << c.platform;
    }
}

}  // namespace
}  // namespace orbelin
