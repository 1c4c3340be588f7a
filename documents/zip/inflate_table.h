// Lookup tables that decode one canonical Huffman code in one or two probes instead of bit by bit.
#pragma once

#include <cstdint>
#include <vector>

namespace tarn::deflate {

// What a table entry says about the bits it was found at.
enum class EntryKind : std::uint32_t {
    Literal,    // a literal byte, or a code-length symbol: the value
    Base,       // a length or distance: the value is its base, followed by `extra` bits
    EndOfBlock,
    Link,       // the code is longer than the root: probe the subtable at `value` with `extra` more bits
    Invalid,    // no code of up to 15 bits starts with these bits
    Reserved,   // literal/length symbols 286 and 287: valid codes that no stream may use
};

// An entry packs the bits its code takes (or the root bits for a link), the extra-bit count,
// the kind and a 16-bit value, so the decoding loop reads one word per probe.
using TableEntry = std::uint32_t;

inline constexpr TableEntry kInvalidEntry = TableEntry(EntryKind::Invalid) << 12;

inline unsigned entryBits(TableEntry e) { return e & 0xFFu; }
inline unsigned entryExtra(TableEntry e) { return (e >> 8) & 0xFu; }
inline EntryKind entryKind(TableEntry e) { return EntryKind((e >> 12) & 0xFu); }
inline unsigned entryValue(TableEntry e) { return e >> 16; }

// The three alphabets of a stream, which differ in their symbols' meaning and root size.
enum class Alphabet { LiteralLength, Distance, CodeLength };

struct DecodeTable {
    unsigned rootBits = 0;
    std::vector<TableEntry> entries; // the root table, then the subtables
};

// Builds the table of the code with these per-symbol lengths (0 = unused). Returns 0 for a
// complete code (an empty one counts as complete), a positive number for an incomplete one
// (its unused bit patterns decode as Invalid), a negative one when over-subscribed (the table
// is then unusable).
int buildDecodeTable(DecodeTable& table, const std::uint8_t* lengths, int symbols, Alphabet alphabet);

// The entry for the next bits of a stream, least significant bit first.
inline TableEntry lookup(const TableEntry* entries, unsigned rootBits, std::uint64_t bits) {
    TableEntry e = entries[bits & ((1u << rootBits) - 1)];
    if (entryKind(e) == EntryKind::Link) e = entries[entryValue(e) + ((bits >> rootBits) & ((1u << entryExtra(e)) - 1))];
    return e;
}

// The fixed codes of RFC 1951 (3.2.6), built once on first use.
const DecodeTable& fixedLiteralTable();
const DecodeTable& fixedDistanceTable();

} // namespace tarn::deflate
