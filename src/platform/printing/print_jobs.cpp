// Print jobs. A CUPS job looks its destination up when it starts (so a missing printer is
// reported by the first LPRINT), prints on the destination's default paper, and sends its PDF
// when it ends; a failure to send is reported with CUPS's own words.
#include "platform/printing/print_jobs.h"

#include <cups/cups.h>

#include "platform/printing/printing_libraries.h"

namespace quillon {
namespace {

constexpr double kHundredthsPerMm = 100;

class FilePrintJob final : public PrintJob {
  public:
    explicit FilePrintJob(PdfDocument& document) : document_(document) {}
    ~FilePrintJob() override {
        if (!ended_) document_.end_page();
    }
    int page_width() const override { return document_.width(); }
    int page_height() const override { return document_.height(); }
    void draw_text(int x, int y, std::string_view text) override {
        document_.draw_text(x, y, text);
    }
    void new_page() override { document_.end_page(); }
    bool finish(std::string& why) override {
        ended_ = true;
        document_.end_page();
        if (document_.ok()) return true;
        why = "the PDF file cannot be written";
        return false;
    }

  private:
    PdfDocument& document_;
    bool ended_ = false;
};

class CupsPrintJob final : public PrintJob {
  public:
    CupsPrintJob(cups_dest_t* dest, cups_dinfo_t* info, std::unique_ptr<PdfDocument> document)
        : dest_(dest), info_(info), document_(std::move(document)) {}
    ~CupsPrintJob() override {
        cupsFreeDestInfo(info_);
        cupsFreeDests(1, dest_);
    }
    int page_width() const override { return document_->width(); }
    int page_height() const override { return document_->height(); }
    void draw_text(int x, int y, std::string_view text) override {
        document_->draw_text(x, y, text);
    }
    void new_page() override { document_->end_page(); }
    bool finish(std::string& why) override {
        document_->end_page();
        if (!document_->finish(why)) return false;
        return submit(document_->bytes(), why);
    }

  private:
    bool submit(const std::string& pdf, std::string& why) {
        int job = 0;
        if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest_, info_, &job, kPrintJobName, 0, nullptr) >
            IPP_STATUS_OK_EVENTS_COMPLETE)
            return why = cupsLastErrorString(), false;
        if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest_, info_, job, kPrintJobName,
                                  CUPS_FORMAT_PDF, 0, nullptr, 1) != HTTP_STATUS_CONTINUE ||
            cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) !=
                HTTP_STATUS_CONTINUE) {
            why = cupsLastErrorString();
            cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest_, job);
            return false;
        }
        if (cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest_, info_) > IPP_STATUS_OK_EVENTS_COMPLETE)
            return why = cupsLastErrorString(), false;
        return true;
    }

    cups_dest_t* dest_;
    cups_dinfo_t* info_;
    std::unique_ptr<PdfDocument> document_;
};

// The destination's default paper and its margins, or the system's default paper.
PaperSize destination_paper(cups_dest_t* dest, cups_dinfo_t* info) {
    cups_size_t size{};
    if (!info || !cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) ||
        size.width <= 0 || size.length <= 0)
        return default_paper_size();
    return {size.width / kHundredthsPerMm, size.length / kHundredthsPerMm,
            size.left / kHundredthsPerMm,  size.top / kHundredthsPerMm,
            size.right / kHundredthsPerMm, size.bottom / kHundredthsPerMm};
}

}  // namespace

std::unique_ptr<PrintJob> make_file_print_job(PdfDocument& document) {
    return std::make_unique<FilePrintJob>(document);
}

std::unique_ptr<PrintJob> make_cups_print_job(const std::string& destination, const FaceMatch& face,
                                              std::unique_ptr<Font> font, std::string& why) {
    if (!cups_library().available()) {  // no print queue: LPRINT reports that there is no printer
        why = "CUPS cannot be loaded";
        return nullptr;
    }
    cups_dest_t* dest = cupsGetNamedDest(
        CUPS_HTTP_DEFAULT, destination.empty() ? nullptr : destination.c_str(), nullptr);
    if (!dest) {
        why = cupsLastErrorString();
        return nullptr;
    }
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    auto document =
        std::make_unique<PdfDocument>("", destination_paper(dest, info), face, std::move(font));
    if (!info || !document->ok()) {
        why = info ? "the PDF document cannot be made" : cupsLastErrorString();
        if (info) cupsFreeDestInfo(info);
        cupsFreeDests(1, dest);
        return nullptr;
    }
    return std::make_unique<CupsPrintJob>(dest, info, std::move(document));
}

}  // namespace quillon
