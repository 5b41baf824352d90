// The formats read through libarchive: LHA, ZIP, CAB, TAR with gzip, compress and
// bzip2, and RAR.
#include "arclib/archive_error.h"
#include "arclib/archive_format.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

namespace {

constexpr size_t ReadBlockSize = 64 * 1024;

// libarchive turns UTF-8 names into the thread's character set; under a UTF-8
// locale it hands them over unchanged, and other names as their stored bytes.
class Utf8LocaleScope {
public:
    Utf8LocaleScope()
    {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
        if (utf8) previous_ = uselocale(utf8);
    }
    ~Utf8LocaleScope()
    {
        if (previous_) uselocale(previous_);
    }
    Utf8LocaleScope(const Utf8LocaleScope&) = delete;
    Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

private:
    locale_t previous_{};
};

// The stored bytes of a name read as ISO-8859-1 into UTF-8 text.
std::string latin1Bytes(std::string_view text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size())
            bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        else
            bytes += static_cast<char>(c);
    }
    return bytes;
}

EntryKind kindOf(archive_entry* entry)
{
    if (archive_entry_hardlink(entry)) return EntryKind::link;
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG: return EntryKind::file;
    case AE_IFDIR: return EntryKind::folder;
    case AE_IFLNK: return EntryKind::link;
    default: return EntryKind::other;
    }
}

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePointer = std::unique_ptr<archive, ArchiveFree>;

class LibarchiveReader : public EntryReader {
public:
    LibarchiveReader(const std::string& path, const char* formatName, void (*enable)(archive*), bool latin1Names)
            : owner_(archive_read_new()),
              archive_(owner_.get()),
              formatName_(formatName),
              latin1Names_(latin1Names)
    {
        Utf8LocaleScope scope;
        if (!archive_) throw ArchiveError(arcCannotOpen, "out of memory");
        enable(archive_);
        if (archive_read_open_filename(archive_, path.c_str(), ReadBlockSize) != ARCHIVE_OK)
            throw ArchiveError(arcCannotOpen, notOfFormat());
        // The first header tells whether the file is of this format at all.
        const int result = archive_read_next_header(archive_, &pending_);
        if (result == ARCHIVE_EOF && archive_format(archive_) != 0) {
            atEnd_ = true;
            pending_ = nullptr;
        } else if (result < ARCHIVE_WARN) {
            throw ArchiveError(arcCannotOpen, notOfFormat());
        }
    }
    bool next(EntryHeader& header) override
    {
        Utf8LocaleScope scope;
        archive_entry* entry = pending_;
        pending_ = nullptr;
        if (!entry) {
            if (atEnd_) return false;
            const int result = archive_read_next_header(archive_, &entry);
            if (result == ARCHIVE_EOF) {
                atEnd_ = true;
                return false;
            }
            if (result < ARCHIVE_WARN) fail();
        }
        const char* name = archive_entry_pathname(entry);
        header.storedName = !name ? "" : latin1Names_ ? latin1Bytes(name) : name;
        header.kind = kindOf(entry);
        header.size =
            archive_entry_size_is_set(entry) ? std::optional<uint64_t>(archive_entry_size(entry)) : std::nullopt;
        header.compressedSize = 0;
        header.modified = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
        return true;
    }

    size_t read(std::span<char> buffer) override
    {
        const la_ssize_t count = archive_read_data(archive_, buffer.data(), buffer.size());
        if (count < 0) fail();
        return static_cast<size_t>(count);
    }

private:
    std::string notOfFormat() const { return std::string("not a readable ") + formatName_ + " archive"; }

    [[noreturn]] void fail() const
    {
        const char* reason = archive_error_string(archive_);
        throw ArchiveError(arcDamaged,
                           std::string(formatName_) + " archive damaged: " + (reason ? reason : "unreadable"));
    }

    ArchivePointer owner_;
    archive* archive_;
    const char* formatName_;
    bool latin1Names_;
    archive_entry* pending_ = nullptr;
    bool atEnd_ = false;
};

// libarchive refuses LHA names it cannot convert, and takes them as Shift-JIS by
// default; read as ISO-8859-1, every name arrives, one character per stored byte.
void enableLha(archive* a)
{
    archive_read_support_format_lha(a);
    archive_read_set_format_option(a, "lha", "hdrcharset", "ISO-8859-1");
}
void enableZip(archive* a) { archive_read_support_format_zip_seekable(a); }
void enableCab(archive* a) { archive_read_support_format_cab(a); }
void enableRar(archive* a)
{
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
}
void enableTar(archive* a)
{
    archive_read_support_format_tar(a);
    archive_read_support_filter_gzip(a);
    archive_read_support_filter_compress(a);
    archive_read_support_filter_bzip2(a);
}

template <const char* Name, void (*Enable)(archive*), bool Latin1Names = false>
std::unique_ptr<EntryReader> openWith(const std::string& path)
{
    return std::make_unique<LibarchiveReader>(path, Name, Enable, Latin1Names);
}

constexpr char LhaName[] = "LHA";
constexpr char ZipName[] = "ZIP";
constexpr char CabName[] = "CAB";
constexpr char TarName[] = "TAR";
constexpr char RarName[] = "RAR";

}  // namespace

const ArchiveFormat lhaFormat{LhaName, openWith<LhaName, enableLha, true>, false};
const ArchiveFormat zipFormat{ZipName, openWith<ZipName, enableZip>, true};
const ArchiveFormat cabFormat{CabName, openWith<CabName, enableCab>, false};
const ArchiveFormat tarFormat{TarName, openWith<TarName, enableTar>, false};
const ArchiveFormat rarFormat{RarName, openWith<RarName, enableRar>, false};

int tarArchiveType(const std::string& path)
{
    Utf8LocaleScope scope;
    const ArchivePointer owner(archive_read_new());
    archive* a = owner.get();
    if (!a) return 0;
    enableTar(a);
    archive_entry* entry = nullptr;
    int type = 0;
    if (archive_read_open_filename(a, path.c_str(), ReadBlockSize) == ARCHIVE_OK) {
        const int result = archive_read_next_header(a, &entry);
        if (result >= ARCHIVE_WARN || (result == ARCHIVE_EOF && archive_format(a) != 0)) {
            switch (archive_filter_code(a, 0)) {
            case ARCHIVE_FILTER_NONE: type = 1; break;
            case ARCHIVE_FILTER_GZIP: type = 2; break;
            case ARCHIVE_FILTER_COMPRESS: type = 3; break;
            case ARCHIVE_FILTER_BZIP2: type = 6; break;
            default: break;
            }
        }
    }
    return type;
}
