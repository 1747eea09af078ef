#pragma once
// What Properties shows, as label and value rows: of the Hamper (its file, size, description,
// items by kind and the stored audio against 16-bit PCM, the figures of `hamper info`), or of an
// item or folder (its path, kind, size with the exact bytes, and a sample's PCM size, ratio and
// facts, and why it fails when it does).

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class CHamperContents;
struct CHamperSummary;

struct CPropertyRow {
  QString label;
  QString value;
};

std::vector<CPropertyRow> HamperProperties(const CHamperContents& contents, const CHamperSummary& summary);
// `failure`: why the item fails ("" when it does not).
std::vector<CPropertyRow> NodeProperties(const CHamperContents& contents, std::uint32_t node, const std::string& failure);
