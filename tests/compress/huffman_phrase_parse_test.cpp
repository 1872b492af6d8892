// SPDX-License-Identifier: GPL-3.0-or-later
// The phrase parse: the text written with the entries that cost least, across the places where the grammar's
// pairs were split.
#include "compress/huffman_phrase_parse.h"

#include <gtest/gtest.h>

#include <vector>

#include "compress/huffman_pieces.h"
#include "compress/huffman_record_cuts.h"

namespace {

// "abc" twice, as the rule (ab)c; the entries are the three bytes and "bc", so that the grammar's own tree writes
// each "abc" as three codes and a parse as "a" and "bc".
struct ThreeLetters {
    static constexpr uint32_t a = 'a', b = 'b', c = 'c', ab = 256, abc = 257, bc = 258;

    ThreeLetters() {
        grammar.rules = {{a, b, 2, 1}, {ab, c, 3, 2}, {b, c, 2, 1}};
        grammar.sequence = {abc, abc};
        selection.form.assign(grammar.symbolCount(), qp::HuffmanEntryForm::None);
        selection.uses.assign(grammar.symbolCount(), 0);
        codeBits.assign(grammar.symbolCount(), 0);
        for (uint32_t entry : {a, b, c, bc}) {
            selection.form[entry] = entry == bc ? qp::HuffmanEntryForm::Coded : qp::HuffmanEntryForm::Literal;
            selection.uses[entry] = 2;
            codeBits[entry] = 2;
        }
    }

    qp::HuffmanGrammar grammar;
    qp::HuffmanSelection selection;
    std::vector<float> codeBits;
};

TEST(HuffmanPhraseParse, TakesAnEntryAcrossTheSplitOfAPair) {
    ThreeLetters t;
    const qp::HuffmanPieces pieces(t.grammar);
    const qp::HuffmanRecordCuts cuts = qp::cutHuffmanRecords(t.grammar, 4);
    const qp::HuffmanPhraseParser parser(t.grammar, t.selection, cuts);
    const qp::HuffmanParsedText parsed = parser.parse(pieces, t.selection, t.codeBits, 2);
    EXPECT_EQ(parsed.sequence, (std::vector<uint32_t>{t.a, t.bc, t.a, t.bc}));
    // One record per "abc"; the lengths are those of the grammar's records.
    EXPECT_EQ(parsed.cuts.ends, (std::vector<size_t>{2, 4}));
    EXPECT_EQ(parsed.cuts.lengths, cuts.lengths);
    // "b" and "c" are now used only inside the coded entry "bc"; an entry no parse takes leaves the selection.
    EXPECT_EQ(parsed.selection.uses[t.a], 2u);
    EXPECT_EQ(parsed.selection.uses[t.bc], 2u);
    EXPECT_EQ(parsed.selection.uses[t.b], 1u);
    EXPECT_EQ(parsed.selection.uses[t.c], 1u);
}

TEST(HuffmanPhraseParse, WritesSingleWordsWhenThePhraseIsDearer) {
    ThreeLetters t;
    t.codeBits[t.bc] = 5;  // dearer than "b" and "c" apart
    const qp::HuffmanPieces pieces(t.grammar);
    const qp::HuffmanRecordCuts cuts = qp::cutHuffmanRecords(t.grammar, 4096);
    const qp::HuffmanPhraseParser parser(t.grammar, t.selection, cuts);
    const qp::HuffmanParsedText parsed = parser.parse(pieces, t.selection, t.codeBits, 1);
    EXPECT_EQ(parsed.sequence, (std::vector<uint32_t>{t.a, t.b, t.c, t.a, t.b, t.c}));
    EXPECT_FALSE(parsed.selection.isEntry(t.bc));
}

}  // namespace
