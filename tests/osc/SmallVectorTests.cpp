// SPDX-License-Identifier: GPL-3.0-or-later
#include "OSCTestSupport.h"
#include "osc/SmallVector.h"

#include <string>

namespace pexlora {
namespace {

using Texts = SmallVector<std::string, 2>;

// Longer than std::string's own inline storage, so that a leak or a double free shows.
std::string text(int i) {
    return "a text long enough to live on the heap, number " + std::to_string(i);
}

Texts filled(int count) {
    Texts texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(text(i));
    return texts;
}

TEST(SmallVector, GrowsPastItsInlineCapacityKeepingItsElements) {
    Texts texts = filled(5);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_GE(texts.capacity(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(texts[static_cast<std::size_t>(i)], text(i));
    EXPECT_EQ(texts.front(), text(0));
    EXPECT_EQ(texts.back(), text(4));
    texts.pop_back();
    EXPECT_EQ(texts.back(), text(3));
}

TEST(SmallVector, CopiesAndMovesInlineAndHeapContents) {
    for (const int count : {0, 1, 2, 3, 7}) {
        const Texts original = filled(count);
        Texts copy = original;
        EXPECT_EQ(copy, original) << count;
        Texts moved = std::move(copy);
        EXPECT_EQ(moved, original) << count;
        EXPECT_TRUE(copy.empty()) << count;
        copy.emplace_back("reused after the move");
        EXPECT_EQ(copy.size(), 1u);

        Texts assigned = filled(4);
        assigned = original;
        EXPECT_EQ(assigned, original) << count;
        Texts moveAssigned = filled(1);
        moveAssigned = std::move(assigned);
        EXPECT_EQ(moveAssigned, original) << count;
        EXPECT_TRUE(assigned.empty()) << count;
        moveAssigned = moveAssigned;
        EXPECT_EQ(moveAssigned, original) << count;
    }
}

TEST(SmallVector, ComparesElementByElement) {
    EXPECT_EQ((SmallVector<int, 2>{1, 2, 3}), (SmallVector<int, 2>{1, 2, 3}));
    EXPECT_NE((SmallVector<int, 2>{1, 2, 3}), (SmallVector<int, 2>{1, 2}));
    EXPECT_NE((SmallVector<int, 2>{1, 2}), (SmallVector<int, 2>{1, 3}));
    SmallVector<int, 2> numbers{4, 5, 6};
    numbers.clear();
    EXPECT_TRUE(numbers.empty());
    const int more[] = {7, 8};
    numbers.assign(std::begin(more), std::end(more));
    EXPECT_EQ(numbers, (SmallVector<int, 2>{7, 8}));
}

TEST(SmallVector, LongAddressesAndLongMessagesRoundTripPastTheInlineStorage) {
    const std::string address = "/" + std::string(200, 'a');
    const OSCMessage sent(address, {Blob(100, 7), std::string(90, 'x'), 1, 2, 3, 4, 5});
    const Bytes bytes = encoded(sent);
    auto received = decodeOSCMessage(bytes);
    ASSERT_TRUE(received.ok());
    EXPECT_EQ(received->addressPattern.rawAddress(), address);
    EXPECT_EQ(received->values, sent.values);
    EXPECT_EQ(encoded(*received), bytes);
    OSCMessage copy = *received;
    EXPECT_EQ(copy, *received);
}

} // namespace
} // namespace pexlora
