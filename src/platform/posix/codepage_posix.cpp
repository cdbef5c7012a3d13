// Code-page services on POSIX systems. The platform code page comes from the environment
// locale's codeset, read through a locale object of its own so that the process locale is
// never changed. UTF-8 goes through the library's own UTF-8 conversion (the unicode layer,
// standing in for the system's own UTF-8 conversion on Windows), UTF-7 through the
// library's own (utf7.h); every other code page goes through glibc iconv, as the data
// tables of codepage_charsets.cpp and codepage_overrides.cpp describe it. Code pages
// served by tables convert straight between UTF-8 and their bytes; the others go through
// UTF-16 units held two bytes each.
#include "platform/codepage.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <atomic>
#include <memory>

#include "platform/posix/codepage_data.h"
#include "platform/posix/double_byte_code_page.h"
#include "platform/posix/ebcdic_shift_encoder.h"
#include "platform/posix/single_byte_code_page.h"
#include "platform/posix/stream_code_page.h"
#include "platform/posix/utf7.h"
#include "unicode/utf8_utf16.h"

namespace tessera::platform {
namespace {

using posix::CodePageCharset;
using posix::CodePageForm;
using posix::DoubleByteCodePage;
using posix::EbcdicShiftEncoder;
using posix::SingleByteCodePage;
using posix::StreamCodePage;

// The tables of single- and double-byte code pages, one slot per charset row: built on
// first use and then shared by every thread (nothing writes to a table once it is
// published), freed when the library unloads. Constant-initialised.
template <typename Table>
class SharedTables {
public:
    SharedTables() = default;
    SharedTables(const SharedTables&) = delete;
    SharedTables& operator=(const SharedTables&) = delete;
    ~SharedTables() {
        for (auto& table : m_tables) delete table.load();
    }

    template <typename Build>
    const Table* Get(std::size_t row, Build build) {
        if (const Table* table = m_tables[row].load(std::memory_order_acquire)) return table;
        if (m_unavailable[row].load(std::memory_order_relaxed)) return nullptr;
        std::unique_ptr<Table> built = build();
        if (!built) {
            m_unavailable[row].store(true, std::memory_order_relaxed);
            return nullptr;
        }
        const Table* published = nullptr;
        if (m_tables[row].compare_exchange_strong(published, built.get(), std::memory_order_acq_rel)) {
            return built.release();
        }
        return published;  // another thread was first
    }

private:
    std::array<std::atomic<const Table*>, posix::kMaxCodePageCharsets> m_tables{};
    std::array<std::atomic<bool>, posix::kMaxCodePageCharsets> m_unavailable{};
};

SharedTables<SingleByteCodePage> g_singleByteTables;
SharedTables<DoubleByteCodePage> g_doubleByteTables;
SharedTables<EbcdicShiftEncoder> g_ebcdicShiftEncoders;

// The iconv converters of the last few stream code pages a thread used: iconv descriptors
// carry conversion state, so each thread has its own, and opening them per call would
// cost more than many conversions. Constant-initialised.
struct ThreadStreams {
    struct Slot {
        std::int32_t codePage = 0;
        std::unique_ptr<StreamCodePage> page;
    };
    std::array<Slot, 8> slots{};
    std::size_t next = 0;

    StreamCodePage& For(const CodePageCharset& charset) {
        for (Slot& slot : slots) {
            if (slot.page && slot.codePage == charset.codePage) return *slot.page;
        }
        Slot& slot = slots[next];
        next = (next + 1) % slots.size();
        slot.page = std::make_unique<StreamCodePage>(charset);
        slot.codePage = charset.codePage;
        return *slot.page;
    }
};

thread_local ThreadStreams t_streams;

// The converter of a code page; all null when glibc cannot convert it.
struct Converter {
    const SingleByteCodePage* singleByte = nullptr;
    const DoubleByteCodePage* doubleByte = nullptr;
    StreamCodePage* stream = nullptr;
    const EbcdicShiftEncoder* shiftEncoder = nullptr;  // writes in place of `stream` where set
};

// Whether a conversion is from or to the code page; only writing a mixed EBCDIC page
// needs (and builds) its table.
enum class Direction { kReading, kWriting };

Converter ConverterFor(std::int32_t codePage, Direction direction = Direction::kReading) {
    Converter converter;
    const CodePageCharset* charset = posix::FindCodePageCharset(codePage);
    if (charset == nullptr || charset->charset == nullptr) return converter;
    const auto row = static_cast<std::size_t>(charset - posix::AllCodePageCharsets().begin());
    switch (charset->form) {
        case CodePageForm::kSingleByte:
            converter.singleByte = g_singleByteTables.Get(row, [&] { return SingleByteCodePage::Build(*charset); });
            break;
        case CodePageForm::kDoubleByte:
            converter.doubleByte = g_doubleByteTables.Get(row, [&] {
                const posix::LeadBytes* leads = posix::FindLeadBytes(charset->codePage);
                return leads ? DoubleByteCodePage::Build(*charset, *leads) : nullptr;
            });
            break;
        case CodePageForm::kStream:
            converter.stream = &t_streams.For(*charset);
            if (direction == Direction::kWriting && posix::IsShiftedEbcdic(charset->codePage)) {
                converter.shiftEncoder =
                    g_ebcdicShiftEncoders.Get(row, [&] { return EbcdicShiftEncoder::Build(*charset); });
            }
            break;
    }
    return converter;
}

}  // namespace

std::int32_t PlatformCodePage() {
    locale_t environment = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (environment == static_cast<locale_t>(0)) return kUtf8CodePage;  // as the C locale
    const char* codeset = nl_langinfo_l(CODESET, environment);
    const std::int32_t codePage = posix::CodePageForCodeset(codeset ? codeset : "");
    freelocale(environment);
    return codePage;
}

bool IsCodePageAvailable(std::int32_t codePage) {
    if (codePage == kUtf8CodePage || codePage == posix::kUtf7CodePage) return true;
    const Converter converter = ConverterFor(codePage);
    return converter.singleByte || converter.doubleByte ||
           (converter.stream && converter.stream->canDecode() && converter.stream->canEncode());
}

std::wstring CodePageToUTF16(const char* data, std::size_t size, std::int32_t codePage) {
    if (size == 0) return {};
    if (codePage == kUtf8CodePage) return unicode::Utf8ToUtf16(data, size);
    if (codePage == posix::kUtf7CodePage) return posix::DecodeUtf7(data, size);
    const Converter converter = ConverterFor(codePage);
    if (converter.singleByte) return converter.singleByte->Decode(data, size);
    if (converter.doubleByte) return converter.doubleByte->Decode(data, size);
    if (converter.stream) return converter.stream->Decode(data, size);
    return {};
}

std::string UTF16ToCodePage(const wchar_t* data, std::size_t size, std::int32_t codePage) {
    if (size == 0) return {};
    if (codePage == kUtf8CodePage) return unicode::Utf16ToUtf8(data, size);
    if (codePage == posix::kUtf7CodePage) return posix::EncodeUtf7(data, size);
    const Converter converter = ConverterFor(codePage, Direction::kWriting);
    if (converter.singleByte) return converter.singleByte->Encode(data, size);
    if (converter.doubleByte) return converter.doubleByte->Encode(data, size);
    if (converter.shiftEncoder) return converter.shiftEncoder->Encode(data, size);
    if (converter.stream) return converter.stream->Encode(data, size);
    return {};
}

std::string CodePageToUTF8(const char* data, std::size_t size, std::int32_t codePage) {
    if (size == 0) return {};
    if (codePage == posix::kUtf7CodePage) return posix::DecodeUtf7ToUtf8(data, size);
    if (codePage != kUtf8CodePage) {
        const Converter converter = ConverterFor(codePage);
        if (converter.singleByte) return converter.singleByte->DecodeToUtf8(data, size);
        if (converter.doubleByte) return converter.doubleByte->DecodeToUtf8(data, size);
        if (converter.stream) return converter.stream->DecodeToUtf8(data, size);
        return {};
    }
    const std::wstring units = CodePageToUTF16(data, size, codePage);
    return unicode::Utf16ToUtf8(units.data(), units.size());
}

std::string UTF8ToCodePage(const char* data, std::size_t size, std::int32_t codePage) {
    if (size == 0) return {};
    if (codePage == posix::kUtf7CodePage) return posix::EncodeUtf8AsUtf7(data, size);
    if (codePage != kUtf8CodePage) {
        const Converter converter = ConverterFor(codePage, Direction::kWriting);
        if (converter.singleByte) return converter.singleByte->EncodeUtf8(data, size);
        if (converter.doubleByte) return converter.doubleByte->EncodeUtf8(data, size);
        if (converter.shiftEncoder) return converter.shiftEncoder->EncodeUtf8(data, size);
        if (converter.stream) return converter.stream->EncodeUtf8(data, size);
        return {};
    }
    const std::wstring units = unicode::Utf8ToUtf16(data, size);
    return UTF16ToCodePage(units.data(), units.size(), codePage);
}

}  // namespace tessera::platform
