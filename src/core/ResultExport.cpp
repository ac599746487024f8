#include "core/ResultExport.h"

#include "core/AtomicFile.h"
#include "core/Diagnostics.h"
#include "core/QrCodeResults.h"
#include "core/WorkflowRuns.h"

#include <filesystem>

namespace lexorra {

ResultExport::ResultExport(Services services) : m_services(std::move(services)) {
    if (!m_services.qrCodePng) {
        m_services.qrCodePng = [](const std::string& result) -> std::optional<std::vector<unsigned char>> {
            auto png = qrCodePng(result);
            if (!png) return std::nullopt;
            return std::vector<unsigned char>(png->begin(), png->end());
        };
    }
    if (!m_services.notice) m_services.notice = [](const std::string&, NoticeStyle) {};
}

void ResultExport::copy(const std::string& result) {
    if (!m_services.clipboard) return;
    m_services.clipboard->clear();
    if (result.find(qrCodeMarker) != std::string::npos) {
        if (auto png = m_services.qrCodePng(result)) m_services.clipboard->setPng(*png);
        m_services.notice("Copied Image", NoticeStyle::success);
        return;
    }
    m_services.clipboard->setText(result);
    m_services.notice("Copied Text", NoticeStyle::success);
}

bool ResultExport::save(const std::string& result, const std::string& file) {
    if (result.find(qrCodeMarker) != std::string::npos) {
        auto png = m_services.qrCodePng(result);
        if (!png) {
            diagnostic("failed to get PNG representation. url: " + file);
            return false;
        }
        if (!AtomicFile::write(file, std::string(png->begin(), png->end()))) {
            diagnostic("failed to write to disk. url: " + file);
            return false;
        }
        return true;
    }
    return AtomicFile::write(file, result);
}

bool ResultExport::runToFile(const TextActionSeq& seq, const std::vector<TextActionSeqPtr>& workflows,
                             const std::string& file, const std::string& output, std::string* written) {
    RunEnvironment environment(lookupIn(workflows));
    auto result = seq.runFile(file);
    if (!result) return false;
    std::filesystem::path target = output;
    if (target.empty()) {
        const std::filesystem::path in(file);
        target = in.parent_path() /
                 (in.stem().string() + ".lexorra" + (in.has_extension() ? in.extension().string() : ".txt"));
    }
    std::error_code ec;
    if (std::filesystem::equivalent(target, file, ec)) return false;
    if (!AtomicFile::write(target, *result)) return false;
    if (written) *written = target.string();
    return true;
}

} // namespace lexorra
