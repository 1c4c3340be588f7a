// Building the decoder's lookup tables from code lengths: a root table with subtables for long codes.
#include "documents/zip/inflate_table.h"
#include "documents/zip/deflate_tables.h"

#include <algorithm>
#include <array>

namespace tarn::deflate {
namespace {

TableEntry makeEntry(unsigned bits, unsigned extra, EntryKind kind, unsigned value) {
    return TableEntry(bits | extra << 8 | std::uint32_t(kind) << 12 | value << 16);
}

// The meaning of `symbol` in `alphabet`, as an entry whose code takes `bits` bits.
TableEntry symbolEntry(Alphabet alphabet, int symbol, unsigned bits) {
    if (alphabet == Alphabet::Distance)
        return makeEntry(bits, kDistanceExtra[symbol], EntryKind::Base, kDistanceBase[symbol]);
    if (alphabet == Alphabet::CodeLength || symbol < 256) return makeEntry(bits, 0, EntryKind::Literal, unsigned(symbol));
    if (symbol == 256) return makeEntry(bits, 0, EntryKind::EndOfBlock, 0);
    if (symbol >= 286) return makeEntry(bits, 0, EntryKind::Reserved, 0);
    return makeEntry(bits, kLengthExtra[symbol - 257], EntryKind::Base, kLengthBase[symbol - 257]);
}

unsigned rootBitsOf(Alphabet alphabet) {
    // Large enough that nearly every code is found in one probe, small enough to fill quickly
    // for each dynamic block.
    switch (alphabet) {
    case Alphabet::LiteralLength: return 10;
    case Alphabet::Distance: return 8;
    case Alphabet::CodeLength: return 7; // code-length codes are at most 7 bits: never a subtable
    }
    return 10;
}

unsigned reversed(unsigned code, unsigned bits) {
    unsigned out = 0;
    for (unsigned b = 0; b < bits; ++b, code >>= 1) out = (out << 1) | (code & 1u);
    return out;
}

// Puts `e` at every index whose low `bits` bits are `code`, in a table of 2^size entries.
void replicate(TableEntry* table, unsigned code, unsigned bits, unsigned size, TableEntry e) {
    for (unsigned i = code; i < (1u << size); i += 1u << bits) table[i] = e;
}

DecodeTable fixedTable(Alphabet alphabet) {
    std::array<std::uint8_t, kLiteralLengthSymbols> lengths{};
    int symbols = kDistanceSymbols;
    if (alphabet == Alphabet::LiteralLength) {
        std::fill(lengths.begin(), lengths.begin() + 144, std::uint8_t(8));
        std::fill(lengths.begin() + 144, lengths.begin() + 256, std::uint8_t(9));
        std::fill(lengths.begin() + 256, lengths.begin() + 280, std::uint8_t(7));
        std::fill(lengths.begin() + 280, lengths.end(), std::uint8_t(8));
        symbols = kLiteralLengthSymbols;
    } else {
        std::fill(lengths.begin(), lengths.begin() + kDistanceSymbols, std::uint8_t(5));
    }
    DecodeTable table;
    buildDecodeTable(table, lengths.data(), symbols, alphabet);
    return table;
}

} // namespace

int buildDecodeTable(DecodeTable& table, const std::uint8_t* lengths, int symbols, Alphabet alphabet) {
    std::array<int, kMaxCodeBits + 1> count{};
    for (int s = 0; s < symbols; ++s) ++count[lengths[s]];
    int left = 1;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
        left = (left << 1) - count[std::size_t(len)];
        if (left < 0) return left;
    }
    if (count[0] == symbols) left = 0;

    // First canonical code of each length (RFC 1951 3.2.2).
    count[0] = 0;
    std::array<unsigned, kMaxCodeBits + 1> next{};
    for (int len = 1; len <= kMaxCodeBits; ++len)
        next[std::size_t(len)] = (next[std::size_t(len - 1)] + unsigned(count[std::size_t(len - 1)])) << 1;

    const unsigned root = rootBitsOf(alphabet);
    table.rootBits = root;

    // Pass one: every root prefix shared by longer codes gets a subtable sized for the longest.
    std::array<std::uint8_t, 1u << 10> longest{};
    std::array<unsigned, kLiteralLengthSymbols> codes{};
    {
        std::array<unsigned, kMaxCodeBits + 1> running = next;
        for (int s = 0; s < symbols; ++s) {
            const unsigned len = lengths[s];
            if (len == 0) continue;
            codes[std::size_t(s)] = reversed(running[len]++, len);
            if (len > root) {
                std::uint8_t& l = longest[codes[std::size_t(s)] & ((1u << root) - 1)];
                l = std::max<std::uint8_t>(l, std::uint8_t(len));
            }
        }
    }
    std::array<std::uint16_t, 1u << 10> subtable{};
    std::size_t size = std::size_t(1) << root;
    for (unsigned prefix = 0; prefix < (1u << root); ++prefix) {
        if (longest[prefix] == 0) continue;
        subtable[prefix] = std::uint16_t(size);
        size += std::size_t(1) << (longest[prefix] - root);
    }
    table.entries.assign(size, kInvalidEntry);
    TableEntry* entries = table.entries.data();
    for (unsigned prefix = 0; prefix < (1u << root); ++prefix)
        if (longest[prefix] != 0)
            entries[prefix] = makeEntry(root, longest[prefix] - root, EntryKind::Link, subtable[prefix]);

    // Pass two: each code fills every slot whose bits begin with it.
    for (int s = 0; s < symbols; ++s) {
        const unsigned len = lengths[s];
        if (len == 0) continue;
        const unsigned c = codes[std::size_t(s)];
        const TableEntry e = symbolEntry(alphabet, s, len);
        if (len <= root) {
            replicate(entries, c, len, root, e);
        } else {
            const unsigned prefix = c & ((1u << root) - 1);
            replicate(entries + subtable[prefix], c >> root, len - root, longest[prefix] - root, e);
        }
    }
    return left;
}

const DecodeTable& fixedLiteralTable() {
    static const DecodeTable table = fixedTable(Alphabet::LiteralLength);
    return table;
}

const DecodeTable& fixedDistanceTable() {
    static const DecodeTable table = fixedTable(Alphabet::Distance);
    return table;
}

} // namespace tarn::deflate
