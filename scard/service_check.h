// One run of the smart-card service check over a seam of two resource-manager calls, so that it runs
// against winscard.dll, against pcsclite and against a recording fake alike.
//
// A Manager offers   ResultCode EstablishUserContext(ContextHandle& context)   (user scope, null
// reserved pointers, `context` zeroed by the caller) and   void ReleaseContext(ContextHandle).
// A Writer offers   void AddlText(std::u16string_view, TFontStyles, TColor)   which appends to the pane.
// Templates rather than virtual calls keep the executable free of the C++ runtime's support code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scard/report.h"

namespace orbelin {

using ContextHandle = std::uintptr_t;

// Owns a context obtained from the resource manager and releases it once, at the end of the scope.
template <class Manager>
class ScopedContext {
public:
    ScopedContext(Manager& manager, ContextHandle context) : manager_(manager), context_(context) {}
    ~ScopedContext() { manager_.ReleaseContext(context_); }
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;

private:
    Manager& manager_;
    ContextHandle context_;
};

template <class Writer>
void WriteReport(const Report& report, Writer& writer) {
    for (std::size_t i = 0; i < report.size(); ++i) {
        const ReportPiece piece = report[i];
        writer.AddlText(piece.text, piece.style, piece.color);
    }
}

template <class Manager, class Writer>
void RunServiceCheck(Manager& manager, Writer& writer) {
    ContextHandle context = 0;
    const ResultCode result = manager.EstablishUserContext(context);
    if (result != kScardSuccess) {
        WriteReport(Report(result), writer);  // no context exists, so there is nothing to release
        return;
    }
    const ScopedContext<Manager> owned(manager, context);  // released after the report is written
    WriteReport(Report(result), writer);
}

}  // namespace orbelin
