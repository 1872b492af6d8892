#pragma once
// The message catalogue: a named code for every error, warning and info of the system, and one row per code
// with its text, how its arguments follow the text, and whether the console shows it. Code numbers appear
// here and nowhere else.
#include <cstdint>
#include <span>
#include <string_view>

namespace qp {

enum class Severity : uint8_t { Error, Warning, Info };

enum class ErrorCode : int16_t {
    None = 0,
    UserCanceled = 1,
    StringAllocationFailed = 3,
    StringSelfCheckFailed = 4,
    StringUnknown = 5,
    EncodingNotSupported = 6,
    FileNotAccessible = 7,
    UnicodeConversionFailed = 10,
    IncoherentEncodings = 11,
    NodeMissing = 19,
    BadTagName = 20,
    CommentUnterminated = 26,
    CdataUnterminated = 27,
    SourceFaulty = 28,
    NodeCreationFailed = 30,
    BadNodeRequest = 40,
    NoBodyInContent = 166,
    NoManifest = 169,
    NoSpine = 170,
    NoDcMetadata = 171,
    SpineIdUnknown = 172,
    CssFileNotFound = 177,
    TooManyImages = 179,
    BookTooLarge = 180,
    OutputNotWritable = 182,
    CannotOpenFile = 183,
    CannotCreateTempFile = 184,
    IndexUnknown = 186,
    DuplicateEntryId = 187,
    ChildMergeFailed = 188,
    CannotUnpackEpub = 191,
    NestedAndShortEntries = 194,
    UnnamedSubentry = 195,
    ExtendsMissing = 196,
    StringPropertyIncomplete = 197,
    PropertyNameTaken = 198,
    PropertyTypeMismatch = 199,
    DuplicateExternalSubentry = 200,
    SpellWildInconsistent = 201,
    InconsistentExactKeys = 206,
    ForeignKeyLimit = 208,
    PropertyLimit = 209,
    ExternalSubentryLimit = 210,
    LanguageMissing = 212,
    LanguageUnknown = 213,
    ChildDirectoryNotCreated = 214,
    ChildNotOpened = 215,
    DuplicateChildId = 216,
    NotEnoughMemory = 222,
    TooMuchText = 224,
    TrailingBytes = 227,
    UnnamedLookupIndex = 228,
    UnnamedLookupKey = 229,
    FatalIndexing = 230,
    NotEnoughContiguousMemory = 231,
    TooMuchMetadata = 232,
    TocNotBuilt = 233,
    TocLinkUnresolved = 234,
    TocScopeOutsideParent = 235,
    MasterRecordOverflow = 237,
    EntryTooLarge = 238,
    ValueTooLarge = 239,
    RecordNotCreated = 240,
    WrongIndexLink = 241,
    CharacterTableOverflow = 242,
    IndexInternal = 243,
    HuffmanVerificationFailed = 248,
    TocTooDeep = 251,
    TargetNotOnTag = 252,
    InflectionRuleMismatch = 260,
    IndexHeaderOverflow = 261,
};

enum class WarningCode : int16_t {
    None = 0,
    InexactConversion = 3,
    AttributeWithoutValue = 8,
    UnclosedNodesAbove = 9,
    UnknownNodeClosed = 10,
    NoEncodingFound = 11,
    UnsupportedEncoding = 12,
    EndTagUnterminated = 14,
    BadAttributeName = 15,
    SeveralNodes = 22,
    CssInvalidCharacter = 58,
    CssAtRuleIgnored = 59,
    UnknownMediaType = 62,
    LinkNotResolved = 65,
    SomeLinksNotResolved = 66,
    StartNotResolved = 67,
    EmptyKey = 68,
    IformWithoutValue = 69,
    InflectionGroupEmpty = 70,
    EntryWithoutOrth = 71,
    ImageResized = 72,
    ImageNotSpecified = 73,
    ImageNotFound = 74,
    MediaNotFound = 75,
    ImageFormatUnsupported = 76,
    ImageInvalid = 77,
    CoverNotFound = 79,
    CoverInvalid = 80,
    CoverTooSmall = 81,
    GuideTitleEmpty = 83,
    MetadataTruncated = 86,
    NotWestern = 94,
    DatabaseNameAltered = 101,
    ExternalAnchorRedefined = 107,
    DefaultLookupIndexNotFound = 109,
    DefaultLookupKeyNotFound = 110,
    RuleTooLong = 113,
    StringTruncated = 114,
    UnicodeStringTruncated = 115,
    StringTooLong = 116,
    EntityNotMappable = 117,
    IndexEncodingUnsupported = 118,
    PhoneticLanguageUnsupported = 120,
    ExtendedEntryMissing = 121,
    IndexEmpty = 122,
    NotPhonetized = 123,
    EmptyOrth = 140,
};

enum class InfoCode : int16_t {
    None = 0,
    ParsingFiles = 3,
    ParsingFile = 4,
    EntitiesIntroduced = 5,
    MergingFile = 6,
    ResolvingLinks = 7,
    ResolvingStart = 8,
    WritingLinks = 9,
    CompilingInflections = 10,
    ConvertingImage = 11,
    ConvertingMedia = 12,
    RecordCount = 13,
    RecordProgress = 14,
    BuildingIndex = 15,
    BuildingInflections = 16,
    BuildingNamingIndex = 17,
    BuildingKeyIndex = 18,
    IndexDoubleByte = 20,
    IndexSingleByte = 21,
    IndexUtf8 = 22,
    IndexWestern = 23,
    DefaultLookupIndex = 24,
    DefaultLookupKey = 25,
    Saving = 26,
    Succeeded = 27,
    SucceededWithWarnings = 28,
    Failed = 29,
    CompressedToPercent = 30,
    DocumentIdentifier = 31,
    FormatVersion = 32,
    BuildingChild = 34,
    RecordSize = 35,
    ComputingUnicodeRanges = 36,
    UnicodeRangeFound = 37,
    AddedMetadata = 38,
    UnpackingEpub = 39,
    BuildingToc = 40,
    StatsText = 43,
    StatsPictures = 44,
    StatsIndexes = 45,
    StatsTrailing = 46,
    StatsFrames = 47,
    StatsOther = 48,
    StatsTotal = 49,
    NewInflectionRules = 52,
    RarelyUsedRules = 53,
    InflectionGroups = 54,
    OldInflectionRules = 55,
    CompilingForCompression = 58,
    CompressionPass = 59,
    CompressionDeclined = 61,
    CompressionVerified = 62,
    CompressedPercent = 63,
    DictionaryStatistics = 64,
    FileAlreadyInBook = 65,
};

// What follows a message's text, from its arguments a, b and c (slots of registered strings or plain numbers;
// an absent argument leaves out its pieces). Numbers are printed with a fixed count of digits.
enum class MessageLayout : uint8_t {
    Plain,              // the text alone
    ArgumentAfterText,  // a's text directly after the text
    FileLine,           // a second line: five blanks, " in file: ", a's text
    SourceLine,         // a second line: five blanks and "<c>", five blanks and "line: " a (7 digits), " in file: " b
    InFile,             // seven blanks, " in file: ", a's text
    SourcePosition,     // a line end and c's text, seven blanks and "line: " a (7 digits), " in file: " b
    Argument,           // two blanks, a's text
    ArgumentInFile,     // b's text and a line end, then " in file: " and a's text
    Url,                // five blanks, "URL: ", a's text
    Number,             // two blanks, a (7 digits)
    Quoted,             // one blank, a's text in double quotes
    NumberIndexName,    // two blanks, a (7 digits), " Index name: " and b's text
    NumberKeyType,      // two blanks, a (7 digits), " Key type: " and b's text
    Percent,            // two blanks, a (3 digits), ".", b (2 digits), "%"
    Digit,              // a as one digit (0 to 9)
    BytesRecords,       // two blanks, a (9 digits), " bytes ", b (9 digits), " records "
    BytesEntries,       // two blanks, a (9 digits), " bytes ", b (9 digits), " entries "
};

// Whether the console prints a message: always, only in verbose mode (progress notes), or never (the
// parser's routine warnings).
enum class ConsoleFilter : uint8_t { Shown, VerboseOnly, Hidden };

// A code of any severity.
struct MessageCode {
    constexpr MessageCode(ErrorCode code) : severity(Severity::Error), number(static_cast<int16_t>(code)) {}
    constexpr MessageCode(WarningCode code) : severity(Severity::Warning), number(static_cast<int16_t>(code)) {}
    constexpr MessageCode(InfoCode code) : severity(Severity::Info), number(static_cast<int16_t>(code)) {}

    Severity severity;
    int16_t number;
};

struct MessageRow {
    MessageCode code;
    MessageLayout layout;
    ConsoleFilter console;
    std::string_view text;  // UTF-8; a text that ends in a blank or a colon is followed by its argument
};

// Every row: errors, then warnings, then infos, each in ascending code order.
std::span<const MessageRow> messageCatalogue();
// The row of a code; nullptr for a code without one.
const MessageRow* messageRow(MessageCode code);

}  // namespace qp
