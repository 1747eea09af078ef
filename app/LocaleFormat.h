#pragma once
// Numbers and sizes as the browser shows them, grouped by the user's locale (QLocale):
//
//   CountText(20481)          // "20,481"
//   SizeText(12345)           // "12.3 kB" (kB and MB of 1000, as the desktop's file managers)
//   ExactBytesText(669692416) // "669,692,416 bytes"
//   SizeWithBytesText(4512345)// "4.5 MB (4,512,345 bytes)"
//   PercentText(1, 8)         // "12.5 %", "-" of nothing: as `hamper info` prints its ratio

#include <QString>
#include <cstdint>

QString CountText(std::uint64_t count);
QString SizeText(std::uint64_t bytes);
QString ExactBytesText(std::uint64_t bytes);
QString SizeWithBytesText(std::uint64_t bytes);
QString PercentText(std::uint64_t part, std::uint64_t whole);
