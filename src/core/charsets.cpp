// SPDX-License-Identifier: GPL-3.0-or-later
// The charset names that documents use (XML declarations, meta charsets, output requests) and their code
// pages, searched in this order.
#include <array>
#include <string_view>

#include "core/ascii_text.h"
#include "core/string.h"

namespace qp {

namespace {

struct Charset {
    std::string_view name;
    int32_t codePage;
};

constexpr std::array kCharsets = {
    Charset{"x-sjis", 932},
    Charset{"shift_jis", 932},
    Charset{"ms_Kanji", 932},
    Charset{"csShiftJIS", 932},
    Charset{"x-ms-cp932", 932},
    Charset{"gb2312", 936},
    Charset{"csGB2312", 936},
    Charset{"csISO58GB231280", 936},
    Charset{"chinese", 936},
    Charset{"iso-ir-58", 936},
    Charset{"GB_2312-80", 936},
    Charset{"iso-8859-1", 1252},
    Charset{"iso8859-1", 1252},
    Charset{"iso_8859-1", 1252},
    Charset{"ANSI_X3.4-1968", 1252},
    Charset{"iso-ir-6", 1252},
    Charset{"ANSI_X3.4-1986", 1252},
    Charset{"ISO_646", 1252},
    Charset{"irv:1991", 1252},
    Charset{"ISO646-US", 1252},
    Charset{"us", 1252},
    Charset{"IBM367", 1252},
    Charset{"cp367", 1252},
    Charset{"csASCII", 1252},
    Charset{"latin1", 1252},
    Charset{"iso_8859-1:1987", 1252},
    Charset{"iso-ir-100", 1252},
    Charset{"ibm819", 1252},
    Charset{"cp819", 1252},
    Charset{"Windows-1252", 1252},
    Charset{"korean", 949},
    Charset{"cseuckr", 949},
    Charset{"csksc56011987", 949},
    Charset{"euc-kr", 949},
    Charset{"iso-ir-149", 949},
    Charset{"ks-c-5601", 949},
    Charset{"ks-c-5601-1987", 949},
    Charset{"ks_c_5601 949", 949},
    Charset{"ks_c_5601-1987", 949},
    Charset{"ks_c_5601-1989", 949},
    Charset{"ksc-5601", 949},
    Charset{"ksc5601", 949},
    Charset{"ksc_5601", 949},
    Charset{"big5", 950},
    Charset{"csbig5", 950},
    Charset{"x-x-big5", 950},
    Charset{"us-ascii", 20105},
    Charset{"ascii", 20105},
    Charset{"utf-8", 65001},
    Charset{"utf8", 65001},
    Charset{"unicode-1-1-utf-8", 65001},
    Charset{"unicode-2-0-utf-8", 65001},
    Charset{"macintosh", 10000},
    Charset{"mac", 10000},
    Charset{"csMacintosh", 10000},
    Charset{"euc-jp", 51932},
    Charset{"iso8859-2", 28592},
    Charset{"iso-8859-2", 28592},
    Charset{"iso_8859-2", 28592},
    Charset{"latin2", 28592},
    Charset{"iso_8859-2:1987", 28592},
    Charset{"iso-ir-101", 28592},
    Charset{"l2", 28592},
    Charset{"csISOLatin2", 28592},
    Charset{"Windows-1250", 1250},
    Charset{"x-cp1250", 1250},
    Charset{"Windows-1251", 1251},
    Charset{"x-cp1251", 1251},
    Charset{"Windows-1253", 1253},
    Charset{"Windows-1254", 1254},
    Charset{"koi8-r", 20866},
    Charset{"csKOI8R", 20866},
    Charset{"ISO_8859-4:1988", 28594},
    Charset{"iso-ir-110", 28594},
    Charset{"ISO_8859-4", 28594},
    Charset{"ISO-8859-4", 28594},
    Charset{"latin4", 28594},
    Charset{"l4", 28594},
    Charset{"csISOLatin4", 28594},
    Charset{"ISO_8859-5:1988", 28595},
    Charset{"iso-ir-144", 28595},
    Charset{"ISO_8859-5", 28595},
    Charset{"ISO-8859-5", 28595},
    Charset{"cyrillic", 28595},
    Charset{"csISOLatinCyrillic", 28595},
    Charset{"ISO_8859-7:1987", 28597},
    Charset{"iso-ir-126", 28597},
    Charset{"ISO_8859-7", 28597},
    Charset{"ISO-8859-7", 28597},
    Charset{"ELOT_928", 28597},
    Charset{"ECMA-118", 28597},
    Charset{"greek", 28597},
    Charset{"greek8", 28597},
    Charset{"csISOLatinGreek", 28597},
    Charset{"ISO_8859-9:1989", 28599},
    Charset{"iso-ir-148", 28599},
    Charset{"ISO_8859-9", 28599},
    Charset{"ISO-8859-9", 28599},
    Charset{"latin5", 28599},
    Charset{"l5", 28599},
    Charset{"csISOLatin5", 28599},
    Charset{"Windows-1256", 1256},
    Charset{"Windows-874", 874},
    Charset{"Windows-1258", 1258},
};
static_assert(kCharsets.size() == 104);

}  // namespace

int32_t codePageOfCharset(std::string_view name) {
    for (const Charset& charset : kCharsets)
        if (equalsCaseBlind(charset.name, name)) return charset.codePage;
    return kCodePageUnset;
}

}  // namespace qp
