// SPDX-License-Identifier: GPL-3.0-or-later
// Huffman dictionary compression.
//
// Method. The text is cut into tokens (words with the space before them, wide characters, single bytes; see
// huffman_tokens.h) and turned into a grammar by rounds of pair replacement, in two phases. First the distinct tokens
// are spelled: their bytes are paired round by round, each pair counted as often as its token occurs, until every token
// is one symbol (or the limits below stop it). Then the text, as the sequence of its tokens' symbols, is paired into
// phrases: the counts of adjacent symbol pairs are taken once and kept up to date as pairs are replaced; each round
// replaces every pair counted at least a quarter as often as the most frequent one by a new symbol (a rule), choosing
// among overlapping pairs the heaviest set. Rounds go on until no pair occurs twice or the pass count is reached.
// Working on tokens keeps words whole and the sequence four to five times shorter than the bytes. No rule stands for
// more than an eighth of a record, so that records can end between symbols, or nests deeper than kHuffmanMaxNesting.
// Every rule is a candidate entry, literal or coded as the codes of its two parts.
//
// Dictionary passes then choose the entries by the bits they save under estimated code lengths (log2 of the total uses
// over the entry's uses), deciding symbols from the largest down so that each knows how often its users need it; a
// symbol that is no entry is written as its parts. Encoding rounds assign Huffman codes to the entries' uses, measure
// the HUFF, CDIC and text records that would result, and choose again with the code lengths just assigned; they stop
// when the output no longer shrinks. Once a round saves less than a 2000th, the dictionary is chosen once more, with
// the spelled words that are no entries written in the cheapest pieces that are entries (huffman_pieces.h), and then
// kept, so that the next round ends them. Last, the text and the coded phrase entries are parsed with the code lengths
// of the smallest round (huffman_phrase_parse.h), which lets phrases be written with the entries that cover them best
// rather than with their own two parts; the smaller of the two is written, the text records on several threads.
//
// Cost for a text of n bytes. Time: tokens take one pass with a hash lookup per token; a round is one pass over the
// current sequence (the distinct tokens' bytes, then the token sequence) plus a few hash-table updates per replacement;
// each phase needs 15 to 25 rounds. Selection and measuring are linear in the sequence and in the number of rules; the
// pieces of the spelled words are matched once, and the phrase parse walks a trie once per word. 20 MB of prose take
// about 1.7 s of CPU, 20 MB of Latin, Cyrillic and CJK prose about 4 s (on a busy machine). Memory: the tokens and the
// sequence (about 2n bytes), the pair counts (12-byte slots, two to four per pair that occurs twice), a filter of at
// most 8 MB for the pairs that a round creates, 16 bytes per rule and about 40 per symbol for the selection and the
// codes, the words of the phrase parse (4 bytes each) and the records; a build of 20 MB of HTML peaks at 115 to 180 MB.
#include "compress/huffman.h"

#include <algorithm>
#include <new>
#include <optional>

#include "compress/huffman_cdic_records.h"
#include "compress/huffman_encoding.h"
#include "compress/huffman_grammar.h"
#include "compress/huffman_huff_record.h"
#include "compress/huffman_layout.h"
#include "compress/huffman_phrase_parse.h"
#include "compress/huffman_record_cuts.h"
#include "compress/huffman_selection.h"

namespace qp {
namespace {

// Selections made with ideal code lengths before the first codes are assigned.
constexpr uint32_t dictionaryPasses = 3;
// Once a round saves less than this share of the output, the dictionary is kept as it is: the next round measures
// the same size and ends the rounds. Further rounds would save a few hundredths of a percent each, and a text of
// several languages can take 25 of them.
constexpr uint64_t settledShare = 2000;
// A shorter longest code could let the zero bits that complete a record's last byte decode as a code.
constexpr uint32_t minLongestCode = 8;
// Coded entries hold at most 4 bytes of codes per byte of text, and must stay within the length word.
constexpr uint32_t maxRuleLength = huffman_layout::kMaxDictionaryEntryLength / 4;

HuffmanGrammarLimits grammarLimits(uint64_t textLength, uint32_t recordSize) {
    HuffmanGrammarLimits limits;
    limits.maxLength = std::max<uint32_t>(1, std::min(recordSize / 8, maxRuleLength));
    limits.maxDepth = kHuffmanMaxNesting;
    limits.maxRounds = huffmanPassCount(textLength);
    return limits;
}

HuffmanOutcome compress(std::span<const uint8_t> text, uint32_t recordSize, unsigned threads, HuffmanRecords& out,
                        HuffmanProgress& progress) {
    // A text no longer than the HUFF record alone cannot come out smaller.
    if (text.size() <= huffman_layout::kHuffRecordSize || recordSize == 0) return HuffmanOutcome::Declined;
    HuffmanGrammar grammar;
    if (!buildHuffmanGrammar(text, grammarLimits(text.size(), recordSize), progress, grammar))
        return HuffmanOutcome::Canceled;
    const HuffmanRecordCuts cuts = cutHuffmanRecords(grammar, recordSize);
    std::vector<uint32_t> textUses(grammar.symbolCount(), 0);
    for (uint32_t symbol : grammar.sequence) ++textUses[symbol];

    progress.compressionPass(1);
    HuffmanPieces pieces(grammar);
    HuffmanSelection selection = initialHuffmanSelection(grammar, textUses);
    for (uint32_t pass = 0; pass < dictionaryPasses; ++pass) {
        if (progress.cancelRequested()) return HuffmanOutcome::Canceled;
        selection = selectHuffmanEntries(grammar, pieces, textUses, selection, idealCodeBits(selection));
    }
    progress.compressionPass(2);
    if (longestHuffmanCode(selection) < minLongestCode) return HuffmanOutcome::Declined;

    // Each round measures the output of the current selection and chooses again with the code lengths it
    // assigned; the records are written once, for the smallest selection.
    std::optional<HuffmanSelection> best;
    HuffmanRoundSize bestSize;
    uint32_t round = 3;
    for (;; ++round) {
        if (progress.cancelRequested()) return HuffmanOutcome::Canceled;
        progress.compressionPass(round);
        HuffmanRoundSize size = measureHuffman(grammar, pieces, selection, grammar.sequence, cuts);
        progress.roundResult(size.compressedBytes, text.size(), size.dictionaryBytes, size.entryCount);
        if (size.longestCode < minLongestCode) break;
        if (best && size.compressedBytes >= bestSize.compressedBytes) break;
        bool settled =
            best && bestSize.compressedBytes - size.compressedBytes < bestSize.compressedBytes / settledShare;
        // Once the rounds settle, the dictionary is chosen once more, with spelled words written in any pieces
        // that are entries; then it is kept.
        if (settled && !pieces.indexed()) {
            pieces.index([&](uint32_t rule) { return selection.isEntry(rule); });
            settled = false;
        } else if (pieces.indexed()) {
            settled = true;
        }
        HuffmanSelection next =
            settled ? selection : selectHuffmanEntries(grammar, pieces, textUses, selection, size.codeBits);
        best = std::move(selection);
        bestSize = std::move(size);
        selection = std::move(next);
    }
    if (!best) return HuffmanOutcome::Declined;

    // The text and the coded phrase entries parsed with the code lengths of the smallest selection, when that
    // gives a smaller output. (Parsing again with the codes the parse gives saves less than 0.01%.)
    const HuffmanPhraseParser parser(grammar, *best, cuts);
    progress.compressionPass(round + 1);
    std::optional<HuffmanParsedText> parsed = parser.parse(pieces, *best, bestSize.codeBits, threads);
    const HuffmanRoundSize parsedSize =
        measureHuffman(grammar, pieces, parsed->selection, parsed->sequence, parsed->cuts);
    progress.roundResult(parsedSize.compressedBytes, text.size(), parsedSize.dictionaryBytes, parsedSize.entryCount);
    if (parsedSize.longestCode < minLongestCode || parsedSize.compressedBytes >= bestSize.compressedBytes)
        parsed.reset();
    out = parsed ? encodeHuffman(grammar, parsed->selection, parsed->sequence, parsed->cuts, threads)
                 : encodeHuffman(grammar, *best, grammar.sequence, cuts, threads);
    return HuffmanOutcome::Compressed;
}

}  // namespace

uint32_t huffmanPassCount(uint64_t textLength) {
    const uint64_t k = textLength / 1024;
    return static_cast<uint32_t>(k <= 2048 ? (90 * k + 20480) / 1024 : 100 * (k + 36864) / 19456);
}

HuffmanOutcome compressHuffman(std::span<const uint8_t> text, uint32_t recordSize, unsigned threads,
                               HuffmanRecords& out, HuffmanProgress& progress) {
    try {
        return compress(text, recordSize, threads, out, progress);
    } catch (const std::bad_alloc&) {
        return HuffmanOutcome::OutOfMemory;
    }
}

}  // namespace qp
