// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// Where each field of an E1.31 data packet sits, shared by the reader and the writer so
// that the two cannot disagree on it.
namespace pexlora::sacnlayout {

// Root layer.
constexpr std::size_t rootFlagsLength = 16;
constexpr std::size_t rootVector = 18;
constexpr std::size_t cidAt = 22;
// Framing layer.
constexpr std::size_t framingFlagsLength = 38;
constexpr std::size_t framingVector = 40;
constexpr std::size_t sourceNameAt = 44;
constexpr std::size_t sourceNameSize = 64;
constexpr std::size_t priorityAt = 108;
constexpr std::size_t syncAddressAt = 109;
constexpr std::size_t sequenceAt = 111;
constexpr std::size_t optionsAt = 112;
constexpr std::size_t universeAt = 113;
// DMP layer.
constexpr std::size_t dmpFlagsLength = 115;
constexpr std::size_t dmpVector = 117;
constexpr std::size_t addressTypeAt = 118;
constexpr std::size_t firstAddressAt = 119;
constexpr std::size_t incrementAt = 121;
constexpr std::size_t valueCountAt = 123;
constexpr std::size_t startCodeAt = 125;
constexpr std::size_t slotsAt = 126;

constexpr std::uint8_t preamble[] = {0x00, 0x10, 0x00, 0x00, 'A', 'S',  'C',  '-',
                                     'E',  '1',  '.',  '1',  '7', 0x00, 0x00, 0x00};
constexpr std::uint32_t vectorRootData = 0x00000004;
constexpr std::uint32_t vectorFramingData = 0x00000002;
constexpr std::uint8_t vectorDmpSetProperty = 0x02;
constexpr std::uint8_t addressTypeAndDataType = 0xA1;
constexpr std::uint8_t optionPreview = 0x80;
constexpr std::uint8_t optionTerminated = 0x40;
// The top nibble of every layer's flags-and-length word.
constexpr std::uint16_t layerFlags = 0x7000;

} // namespace pexlora::sacnlayout
