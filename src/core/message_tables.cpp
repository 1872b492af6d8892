// The texts of the error, warning and info tables, by code. A code that no module raises has no entry.
// Texts that end in a blank or a colon are followed by their argument.
#include <array>

#include "core/message_sink.h"

namespace qp {

namespace {

struct Entry {
    int code;
    const char* text;
};

constexpr Entry kErrors[] = {
    {1, "Error(core): User canceled action."},
    {3, "Error(core): Failed memory allocation in class String."},
    {4, "Error(core): Failed self_check in class String."},
    {5, "Error(core): Unknown error in class String."},
    {6, "Error(core): Text encoding not supported."},
    {7, "Error(core): Could not access file."},
    {8, "Error(core): Trying to access characters out of a string."},
    {9, "Error(core): The text encoding is not set, but the operation needs it (MBCS string)."},
    {10, "Error(core): Failed conversion to unicode. The resulting string may contain wrong characters."},
    {11, "Error(core): Cannot concatenate strings. Incoherent encodings."},
    {14, "Error(core): Failed memory allocation in class Storage."},
    {15, "Error(core): Failed self_check in class Storage."},
    {16, "Error(core): Unknown error in class Storage."},
    {19, "Error(parsing): Requested XML node does not exist in memory."},
    {20, "Error(parsing): Invalid or missing XML tag name."},
    {21, "Error(parsing): Invalid attribute name."},
    {22, "Error(parsing): Failed self_check in class XmlParser."},
    {23, "Error(parsing): Could not access file."},
    {24, "Error(parsing): Unknown error in class XmlParser."},
    {25, "Error(parsing): Closing an unknown node."},
    {26, "Error(parsing): End of HTML-style comment not found."},
    {27, "Error(parsing): End of <![CDATA[ tag not found."},
    {28, "Error(parsing): The string to parse has errors. Parsing aborted."},
    {29, "Error(parsing): Could no load template file for parsing."},
    {30,
     "Error(parsing): Error when creating a new XML node, attribute, text or comment or when filling an "
     "attribute value."},
    {33, "Error(DTD): Closing an unmatched tag which is not end tag optional in the DTD."},
    {34, "Error(DTD): Opening an element not defined in the DTD."},
    {35, "Error(DTD): Opening an element on an invalid parent."},
    {36, "Error(DTD): Closing node that was not opened."},
    {37, "Error(DTD): Closing of a node is out of order."},
    {40, "Error(rendering): Syntax error in an XSL request."},
    {61, "Error(core): Unknown error in class ThreadManager."},
    {62, "Error(core): The thread manager has been passed a NULL task pointer."},
    {63, "Error(core): Wait for synchronisation objects failed."},
    {166, "Error(htmlparser): No BODY tag found in content file."},
    {169, "Error(opfparser): No MANIFEST tag found in opf file"},
    {170, "Error(opfparser): No SPINE tag found in opf file"},
    {171, "Error(opfparser): No DC-METADATA tag found in opf file"},
    {172, "Error(opfparser): the id in the spine does not match any item in the manifest: "},
    {175, "Error(mkbook): content file not found"},
    {176, "Error(mkbook): tag <BODY> not found in the content file"},
    {177, "Error(mkbook): CSS file not found"},
    {178, "Error(mkbook): audio file not found"},
    {179, "Error(mkbook): the maximum number of unique images has been reached"},
    {180, "Error(mkbook): Book too large (a book file holds at most 65 535 records and 4 294 967 295 bytes)."},
    {181, "Error(mkbook): image file is corrupted"},
    {182,
     "Error(mkbook): can not write to output file. Check it is not already opened in the Vessio Reader "
     "Emulator."},
    {183, "Error(mkbook): could not open file:"},
    {184, "Error(mkbook): cannot create the temp file. Please check there is enough disk space."},
    {185, "Error(mkbook): The book title was not set. Please call the set_book_title() function."},
    {186, "Error(mkbook): unknown error while building index."},
    {187, "Error(mkbook): Two <idx:entry> tags cannot have the same id."},
    {188, "Error(mkbook): Failed merging child document:"},
    {189, "Error(mkbook): Text encoding conversion failed."},
    {190, "Error(mkbook): Source file is not valid UTF8."},
    {191, "Error(mkbook): Could not unpack ePub file"},
    {194,
     "Error(mkbook): nested entries (<idx:entry> in <idx:entry>) and short entries (<idx:short>) are "
     "incompatible."},
    {195, "Error(mkbook): Unnamed subentry: <idx:subentry> taggs must have a \"name\" attribute."},
    {196, "Error(mkbook): Mandatory \"extends\" attribute missing. External subentries must be linked to an entry."},
    {197, "Error(mkbook): The <idx:string> tag must have both \"name\" and \"value\" attributes."},
    {198,
     "Error(mkbook): Property name error: the name is already used (by idx:key, idx:subentry or "
     "idx:string) or is a reserved word (recordset property)."},
    {199,
     "Error(mkbook): property type mismatch. This property was previously defined in this table with "
     "another type."},
    {200, "Error(mkbook): Two <idx:ext-subentry> tags with the same name cannot reference the same entry."},
    {201, "Error(mkbook): \"spell\" or \"wild\" attributes are not consistent with the first entry of this table."},
    {202, "Error(mkbook): DTD imposes that tag is non empty."},
    {205, "Error(mkbook): A syntax error has been found in the format label"},
    {206,
     "Error(mkbook): Inconsistent exact=\"yes\" usage on <idx:key>. Keys of the same name must all have "
     "the same \"exact\" setting."},
    {208, "Error(mkbook): key limit reached: a foreign key may be used in at most 16 different indexes."},
    {209,
     "Error(mkbook): property limit reached: an index entry can contain at most 32 named properties "
     "(<idx:subentry> or <idx:string>)."},
    {210,
     "Error(mkbook): external subentry limit reached: an index entry can be referenced by at most 8 "
     "different external subentries <idx:ext-subentry>."},
    {212, "Error(mkbook): Language not specified in metadata. The dc:Language field is mandatory. Aborting."},
    {213, "Error(mkbook): Language not recognized in metadata. The dc:Language field is mandatory. Aborting."},
    {214, "Error(mkbook): Could not create the child document directory."},
    {215, "Error(mkbook): Could not open child file (has it been built?)."},
    {216, "Error(mkbook): A child document wth the same ID already encountered previously."},
    {217, "Error(mkbook): Could not copy child document to the child document directory."},
    {218, "Error(mkbook): Could not open copied child file for writing."},
    {219, "Error(mkbook): Child document version must be at least FFV_4."},
    {220, "Error(mkbook): Error(s) occured while writing the indexes of a child document."},
    {221, "Error(mkbook): Error(s) occured while merging the indexes of child document."},
    {222, "Error(mkbook): Not enough memory."},
    {223, "Error(mkbook): Frameset/frame tag forbidden in sub-frames, headers/footers."},
    {224, "Error(mkbook): Too much text in book (limited to 3 993 600 000 uncompressed bytes)."},
    {225,
     "Error(mkbook): global script functions names must be unique among whole publication. Following "
     "function name was already used: "},
    {226, "Error(mkbook): <script> tag cannot be used in slave-frames."},
    {227, "Error(mkbook): internal error: could not write trailing bytes."},
    {228,
     "Error(mkbook): index with no name is not the default lookup index. Name all your indexes and use "
     "<DefaultLookupIndex> in the .OPF"},
    {229,
     "Error(mkbook): key with no name is not the default lookup key. Name all your keys and use "
     "<DefaultLookupKey> in the .OPF"},
    {230, "Error(mkbook): Fatal indexing errors: aborting."},
    {231, "Error(mkbook): Not enough contiguous memory."},
    {232, "Error(mkbook): Too much metadata. Metadata information (excluding cover) is limited to 30KB per book."},
    {233, "Error(mkbook): The table of content could not be built."},
    {234, "Error(mkbook): Hyperlink not resolved in toc:"},
    {235, "Error(mkbook): TOC section scope is not included in the parent chapter:"},
    {237, "Error(index build): master record overflow (max=64k): aborting index build."},
    {238, "Error(index build): single entry exceeds record size (max=64k): aborting index build."},
    {239, "Error(index build): data value too large (max is 30 bits)."},
    {240, "Error(index build): could not create new record: aborting index build."},
    {241, "Error(index build): internal error: wrong link in index: cannot resolve it."},
    {242,
     "Error(index build): overflowing character table in UNICODE: in indexes, you can use a total of 256 "
     "different characters from the following unicode ranges: U+0000-U+02FF(latin), U+3000-U+30FF(kana), "
     "U+FF00-U+FF9F(alt. width latin+kana)."},
    {243, "Error(index build): internal error during index build."},
    {246, "Error(mkbook/compress): Huffman code exceeds 32 bits: advanced compression impossible."},
    {247,
     "Error(mkbook/compress): Dictionary with too many recursions (input too redundant with \"ab...yz\" "
     "patterns with sliding cut probably)."},
    {248, "Error(mkbook/compress): Advanced compression failed consistency test"},
    {249, "Error(mkbook/compress): Access to temporary file of computed Huffman codes failed: aborting"},
};

constexpr Entry kWarnings[] = {
    {2, "Warning(core): Cannot read past end of string (or before empty string)."},
    {3, "Warning(core): String conversion was inexact."},
    {5, "Warning(core): Popping empty stack: default object returned."},
    {6, "Warning(Storage): Storage trying to allocate "},
    {8, "Warning(parsing): Attribute has no value."},
    {9, "Warning(parsing): Unclosed XML node(s) above."},
    {10, "Warning(parsing): Closing an unknown node."},
    {11, "Warning(parsing): No text encoding found."},
    {12, "Warning(parsing): Found an unsupported text encoding."},
    {13, "Warning(parsing): Panic while parsing a single HTML node."},
    {14, "Warning(parsing): Expected > after </name but did not get it."},
    {15, "Warning(parsing): Invalid attribute name."},
    {18, "Warning(DTD): Opening implicit parent."},
    {19, "Warning(DTD): Closing an unmatched tag which is end tag optional in the DTD."},
    {22, "Warning(rendering): An XSL request returned a collection of nodes when just one was needed."},
    {27,
     "Warning(core): The thread manager has been asked to wait for some threads but there was nothing to "
     "wait for."},
    {58, "Warning(cssparser): invalid character found when parsing a declaration part of the CSS"},
    {59, "Warning(cssparser): the at rules (starting with @) are ignored"},
    {62, "Warning(opfparser): the source media type is unknown, defaulting to text/x-oeb1-document"},
    {65, "Warning(mkbook): Hyperlink not resolved:"},
    {66, "Warning(mkbook): Some hyperlinks could not be resolved."},
    {67, "Warning(mkbook): The start reading location could not be resolved."},
    {68, "Warning(mkbook): encountered an empty \"idx:key\" tag."},
    {69, "Warning(mkbook): Missing value attribute on <idx:iform> tag."},
    {70, "Warning(mkbook): No inflections found in inflections group tag <idx:infl>."},
    {71, "Warning(mkbook): encountered an \"idx:entry\" definition without an \"idx:orth\" parameter."},
    {72, "Warning(mkbook): Image has been resized:"},
    {73, "Warning(mkbook): image file not specified"},
    {74, "Warning(mkbook): image file not found"},
    {75, "Warning(mkbook): media file not found"},
    {76, "Warning(mkbook): image file format not supported"},
    {77, "Warning(mkbook): Image invalid and was not built with the book : "},
    {78, "Warning(mkbook): Cover not specified"},
    {79, "Warning(mkbook): Cover file not found : "},
    {80, "Warning(mkbook): Cover invalid and was not built with the book : "},
    {81, "Warning(mkbook): Cover is too small : "},
    {82, "Warning(mkbook): Metadata name is empty. Item is ignored"},
    {83, "Warning(mkbook): Guide title is empty. Item is ignored"},
    {84, "Warning(mkbook): Unrecognized language code in dc:Language metadata field."},
    {85, "Warning(mkbook): A space has been found between an identifier and the separator character\n"},
    {86,
     "Warning(mkbook): Metadata Review or Description truncated. Metadata information (excluding cover) "
     "is limited to 30KB per book."},
    {88, "Warning(mkbook): breadh attribute not specified in <tpq:slave-frame>"},
    {89, "Warning(mkbook): display attribute not specified in <tpq:slave-frame>"},
    {90,
     "Warning(mkbook): bad scrolling attribute, valid values are: auto,no,yes,(empty); defaults to: no; "
     "in <tpq:slave-frame>"},
    {91,
     "Warning(mkbook): bad user-selection attribute, valid values are: yes,no,(empty); defaults to: no; "
     "in <tpq:slave-frame>\n"},
    {92, "Warning(mkbook): only scripts with <script type=\"text/javascript\"> are supported\n"},
    {94, "Warning(mkbook): could not exactly decode HTML text to native encoding (only Western supported)\n"},
    {95, "Warning(mkbook): multiple selection in <SELECT> is not yet supported\n"},
    {96,
     "Warning(mkbook): bad deviceprofile attribute, valid values are: all, pc, pda; defaults to: pc; in "
     "<tpq:slave-frame>"},
    {97, "Warning(mkbook): Some syntax error happened in a script (script will not execute)."},
    {98,
     "Warning(mkbook): Cannot register name in embedding table (file outside of embedding path, ie., OPF "
     "directory)"},
    {99, "Warning(mkbook): Cannot register name in embedding table, name already exists"},
    {101,
     "Warning(mkbook): The database name (document identifier) should contain latin alphanumeric "
     "characters only, no spaces and be at most 27 characters long. Altered to:"},
    {102, "Warning(mkbook): nested <FORM> tags are not supported"},
    {103, "Warning(mkbook): <FORM> tag does not have a name attribute : tag will be ignored\n"},
    {104,
     "Warning(mkbook): <INPUT>, <SELECT> or <TEXTAREA> tag does not have a name attribute : tag will be "
     "ignored\n"},
    {105, "Warning(mkbook): <INPUT> or <SELECT> tag does not have any <FORM> parent tag : tag will be ignored\n"},
    {106, "Warning(mkbook): </FORM> found without any previously opened <FORM> tag\n"},
    {107,
     "Warning(mkbook): External anchor redefinition. The second external anchor will be ignored. "
     "External anchor names must be unique across the OPF publication. Name of the anchor: "},
    {108,
     "Warning(mkbook): forms names must be unique among whole publication. Generating random name, "
     "scripts using old name will probably not work as expected. Following form name was already used: "},
    {109, "Warning(mkbook): The default lookup index you specified was not found:"},
    {110, "Warning(mkbook): The default lookup key you specified was not found:"},
    {113, "Warning(index build): inflection rule or rule group too long (max=255). Discarded."},
    {114, "Warning(index build): string too long (max=255). Truncated."},
    {115, "Warning(index build): unicode string too long (max=127). Truncated."},
    {116, "Warning(index build): string too long (max=64k)."},
    {117, "Warning(index build): unsupported HTML entity or impossible to map the entity to the current encoding."},
    {118, "Warning(index build): character encoding not supported, only characters lower than 127 will be handled."},
    {119, "Warning(index build): language not supported. Using default collating order: english."},
    {120, "Warning(index build): language not supported. Using default phonetics for spellchecker: english."},
    {121, "Warning(index build): The entry referenced in the \"extends\" attribute does not exist:"},
    {122, "Warning(index build): This index is empty and has been skipped."},
    {123, "Warning(index build): Skipping spell checker info for this entry because it could not be phonetized:"},
    {136, "Warning(tavra): Found UNICODE range is not supported on the Tavra: "},
    {137, "Warning(tavra): Text is using one or more invalid characters"},
};

constexpr Entry kInfos[] = {
    {3, "Info(mkbook): Parsing files"},
    {4, "Info(mkbook): Parsing file"},
    {5, "Info(mkbook): Introduced some entities to avoid character loss"},
    {6, "Info(mkbook): Merging file"},
    {7, "Info(mkbook): Resolving hyperlinks"},
    {8, "Info(mkbook): Resolving start reading location"},
    {9, "Info(mkbook): Writing hyperlinks"},
    {10, "Info(mkbook/inflections): Compiling inflections"},
    {11, "Info(mkbook): Converting and merging image file"},
    {12, "Info(mkbook): Converting and merging media file"},
    {13, "Info(mkbook): Building KOVA file, record count: "},
    {14, "Info(mkbook): Building KOVA file record"},
    {15, "Info(mkbook): Building index into record"},
    {16, "Info(mkbook): Building inflexions into record"},
    {17, "Info(mkbook): Building naming index into record"},
    {18, "Info(mkbook): Building foreign key index into record"},
    {20, "Info(mkbook): Unicode index using double-byte utf-16 encoding"},
    {21, "Info(mkbook): Unicode index using optimized single-byte utf-16 encoding"},
    {22, "Info(mkbook): Unicode index using utf-8 encoding"},
    {23, "Info(mkbook): Index uses western (windows-1252) encoding"},
    {24, "Info(mkbook): The default lookup index is:"},
    {25, "Info(mkbook): The default lookup key is:"},
    {26, "Info(mkbook): Saving KOVA file"},
    {27, "Info(mkbook): KOVA File successfully generated!"},
    {28, "Info(mkbook): KOVA File generated with WARNINGS!"},
    {29, "Info(mkbook): KOVA File could not be generated because of errors!"},
    {30, "Info(mkbook): Final stats - text compressed to (in % of original size):"},
    {31, "Info(mkbook): The document identifier is:"},
    {32, "Info(mkbook): The file format version is V"},
    {33, "Info(mkbook): Parsing child file for merging"},
    {34, "Info(mkbook): Building independent child file"},
    {35, "Info(mkbook): Uncompressed record size: "},
    {36, "Info(mkbook): Computing UNICODE ranges used in the book"},
    {37, "Info(mkbook): Found UNICODE range: "},
    {38, "Info(mkbook): Added metadata "},
    {39, "Info(mkbook): Unpacking ePub file"},
    {40, "Info(mkbook): Building table of content"},
    {43, "Info(mkbook): Final stats - TEXT:    "},
    {44, "Info(mkbook): Final stats - PICTURES:"},
    {45, "Info(mkbook): Final stats - INDEXES: "},
    {46, "Info(mkbook): Final stats - TRAILING:"},
    {47, "Info(mkbook): Final stats - FRAMES:  "},
    {48, "Info(mkbook): Final stats - OTHER:   "},
    {49, "Info(mkbook): Final stats - TOTAL:   "},
    {52, "Info(mkbook/inflections): Number of new <idx:infl> inflection rules:"},
    {53, "Info(mkbook/inflections): Of which rules used only once or twice:   "},
    {54, "Info(mkbook/inflections): Number of inflection rule groups:         "},
    {55, "Info(mkbook/inflections): Number of old (infl=) inflection rules:   "},
    {58, "Info(mkbook/compress): Compiling source text for compression (4096 passes max). Pass"},
    {59, "Info(mkbook/compress): Compression pass"},
    {61,
     "Info(mkbook/compress): Advanced compression impossible because file is too small. Performing DOC "
     "compression instead."},
    {62, "Info(mkbook/compress): Advanced compression successful (decoded and verified)."},
    {63, "Info(mkbook/compress): Text compressed to (in % of original size):"},
    {64, "Info(mkbook/compress): Compression dictionary statistics:"},
};

template <int Count, size_t Size>
constexpr std::array<std::string_view, Count> byCode(const Entry (&entries)[Size]) {
    std::array<std::string_view, Count> table{};
    for (const Entry& entry : entries) table[entry.code] = entry.text;
    return table;
}

constexpr auto kErrorTable = byCode<MessageSink::kLastErrorCode + 1>(kErrors);
constexpr auto kWarningTable = byCode<MessageSink::kLastWarningCode + 1>(kWarnings);
constexpr auto kInfoTable = byCode<MessageSink::kLastInfoCode + 1>(kInfos);

template <size_t Count>
std::string_view lookUp(const std::array<std::string_view, Count>& table, int code) {
    if (code < 0 || static_cast<size_t>(code) >= Count) return {};
    return table[code];
}

}  // namespace

std::string_view MessageSink::errorText(int code) { return lookUp(kErrorTable, code); }
std::string_view MessageSink::warningText(int code) { return lookUp(kWarningTable, code); }
std::string_view MessageSink::infoText(int code) { return lookUp(kInfoTable, code); }

}  // namespace qp
