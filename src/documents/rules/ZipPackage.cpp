#include "documents/rules/ZipPackage.h"

#include "core/Failure.h"

#include <zip.h>

#include <memory>

namespace quorvane {
namespace {

const QString kSource = QStringLiteral("ZipPackage");

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

[[noreturn]] void ThrowZipError(zip_error_t* error, const QString& what) {
    const QString text = what + QStringLiteral("\n") + QString::fromUtf8(zip_error_strerror(error));
    const long number = zip_error_code_zip(error);
    zip_error_fini(error);
    throw Failure(number, text, kSource);
}

}  // namespace

QByteArray ZipEntries(const QList<std::pair<QString, QByteArray>>& entries) {
    const QString what = QStringLiteral("文件壓縮失敗，文件未儲存。");
    zip_error_t error;
    zip_error_init(&error);
    SourcePtr buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        ThrowZipError(&error, what);
    }
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error);
    if (!archive) {
        ThrowZipError(&error, what);
    }
    // The archive takes the buffer over when it closes; keep it to read the result.
    zip_source_keep(buffer.get());
    for (const auto& [name, data] : entries) {
        zip_source_t* part =
            zip_source_buffer(archive, data.constData(), static_cast<zip_uint64_t>(data.size()), 0);
        if (!part || zip_file_add(archive, name.toUtf8().constData(), part, ZIP_FL_ENC_UTF_8) < 0) {
            if (part) {
                zip_source_free(part);
            }
            zip_error_set(&error, zip_error_code_zip(zip_get_error(archive)), 0);
            zip_discard(archive);
            ThrowZipError(&error, what);
        }
    }
    if (zip_close(archive) < 0) {
        zip_error_set(&error, zip_error_code_zip(zip_get_error(archive)), 0);
        zip_discard(archive);
        ThrowZipError(&error, what);
    }
    zip_stat_t stat;
    if (zip_source_open(buffer.get()) < 0 || zip_source_stat(buffer.get(), &stat) < 0) {
        ThrowZipError(zip_source_error(buffer.get()), what);
    }
    QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    const zip_int64_t read =
        zip_source_read(buffer.get(), bytes.data(), static_cast<zip_uint64_t>(bytes.size()));
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(bytes.size())) {
        ThrowZipError(zip_source_error(buffer.get()), what);
    }
    return bytes;
}

QHash<QString, QByteArray> UnzipEntries(const QByteArray& archive, const QString& path) {
    const QString what = QStringLiteral("文件檔案已損壞或不是 Word 文件，無法讀取：") + path;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(
        archive.constData(), static_cast<zip_uint64_t>(archive.size()), 0, &error);
    if (!source) {
        ThrowZipError(&error, what);
    }
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!zip) {
        zip_source_free(source);
        ThrowZipError(&error, what);
    }
    QHash<QString, QByteArray> entries;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_file_t* file = nullptr;
        if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat) == 0) {
            file = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0);
        }
        QByteArray data(file ? static_cast<qsizetype>(stat.size) : 0, Qt::Uninitialized);
        const zip_int64_t read =
            file ? zip_fread(file, data.data(), static_cast<zip_uint64_t>(data.size())) : -1;
        if (file) {
            zip_fclose(file);
        }
        if (read != static_cast<zip_int64_t>(data.size()) || !file) {
            zip_error_set(&error, zip_error_code_zip(zip_get_error(zip)), 0);
            zip_discard(zip);
            ThrowZipError(&error, what);
        }
        entries.insert(QString::fromUtf8(stat.name), data);
    }
    zip_discard(zip);
    return entries;
}

}  // namespace quorvane
