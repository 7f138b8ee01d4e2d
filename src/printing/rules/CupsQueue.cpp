#include "printing/rules/CupsQueue.h"

#include "core/Failure.h"
#include "core/HostInfo.h"

#include <cups/cups.h>

#include <memory>

namespace quorvane::cupsqueue {

namespace {

// Texts from the spooler are read as the rest of the program reads texts handed over by the
// platform: up to the first zero byte, at most this many bytes.
constexpr std::size_t kLongestText = 1024;

const QString kSource = QStringLiteral("CUPS");

QString text(const char* value) {
    return TextFromPointer(value, kLongestText);
}

[[noreturn]] void throwLastError() {
    throw Failure(static_cast<long>(cupsLastError()), text(cupsLastErrorString()), kSource);
}

bool lastCallFailed() {
    return cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE;
}

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

// A list of destinations from libcups, freed with it.
class DestList {
public:
    DestList() = default;
    DestList(const DestList&) = delete;
    DestList& operator=(const DestList&) = delete;
    ~DestList() { cupsFreeDests(count, dests); }

    int count = 0;
    cups_dest_t* dests = nullptr;
};

Destination destination(const cups_dest_t& dest) {
    Destination result;
    result.name = text(dest.name);
    result.deviceUri = text(cupsGetOption("device-uri", dest.num_options, dest.options));
    result.isDefault = dest.is_default != 0;
    return result;
}

QString attributeText(ipp_t* response, const char* name, ipp_tag_t tag) {
    ipp_attribute_t* attribute = ippFindAttribute(response, name, tag);
    return attribute != nullptr ? text(ippGetString(attribute, 0, nullptr)) : QString();
}

}  // namespace

std::vector<Destination> Destinations() {
    DestList list;
    list.count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list.dests);
    // A scheduler without queues answers "not found"; that is an empty list, not a failure.
    if (list.count == 0 && lastCallFailed() && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
        throwLastError();
    }
    std::vector<Destination> result;
    result.reserve(static_cast<std::size_t>(list.count));
    for (int i = 0; i < list.count; ++i) {
        if (list.dests[i].instance == nullptr) {
            result.push_back(destination(list.dests[i]));
        }
    }
    return result;
}

std::optional<Destination> DefaultDestination() {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (dest == nullptr) {
        return std::nullopt;
    }
    Destination result = destination(*dest);
    cupsFreeDests(1, dest);
    return result;
}

PrinterAttributes ReadPrinter(const QString& name) {
    const QByteArray utf8Name = name.toUtf8();
    char uri[HTTP_MAX_URI];
    if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                         ippPort(), "/printers/%s", utf8Name.constData()) != HTTP_URI_STATUS_OK) {
        throw Failure(static_cast<long>(IPP_STATUS_ERROR_NOT_FOUND),
                      QStringLiteral("印表機名稱無法組成 IPP 位址：") + name, kSource);
    }

    static const char* const kRequested[] = {
        "printer-name",
        "printer-state",
        "printer-state-reasons",
        "device-uri",
        "printer-is-accepting-jobs",
        "printer-make-and-model",
        "printer-info",
        "printer-location",
    };
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kRequested)), nullptr, kRequested);
    // cupsDoRequest frees the request.
    const IppPtr response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (!response || lastCallFailed()) {
        throwLastError();
    }

    ipp_t* attrs = response.get();
    PrinterAttributes result;
    result.name = attributeText(attrs, "printer-name", IPP_TAG_NAME);
    result.deviceUri = attributeText(attrs, "device-uri", IPP_TAG_URI);
    result.makeAndModel = attributeText(attrs, "printer-make-and-model", IPP_TAG_TEXT);
    result.info = attributeText(attrs, "printer-info", IPP_TAG_TEXT);
    result.location = attributeText(attrs, "printer-location", IPP_TAG_TEXT);
    if (ipp_attribute_t* state = ippFindAttribute(attrs, "printer-state", IPP_TAG_ENUM)) {
        result.state = ippGetInteger(state, 0);
    }
    if (ipp_attribute_t* accepting =
            ippFindAttribute(attrs, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN)) {
        result.acceptingJobs = ippGetBoolean(accepting, 0) != 0;
    }
    if (ipp_attribute_t* reasons =
            ippFindAttribute(attrs, "printer-state-reasons", IPP_TAG_KEYWORD)) {
        for (int i = 0; i < ippGetCount(reasons); ++i) {
            result.stateReasons.append(text(ippGetString(reasons, i, nullptr)));
        }
    }
    return result;
}

int ActiveJobCount(const QString& name) {
    // An empty name would ask for the jobs of every queue.
    if (name.isEmpty()) {
        throw Failure(static_cast<long>(IPP_STATUS_ERROR_NOT_FOUND),
                      QStringLiteral("未指定印表機名稱"), kSource);
    }
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.toUtf8().constData(), 0, CUPS_WHICHJOBS_ACTIVE);
    if (count < 0) {
        throwLastError();
    }
    cupsFreeJobs(count, jobs);
    return count;
}

}  // namespace quorvane::cupsqueue
