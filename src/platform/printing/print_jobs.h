// The two kinds of print job: pages appended to the run's PDF file, or a PDF document of its
// own submitted to a CUPS destination as "PrintOut" when the job ends.
#pragma once

#include <memory>
#include <string>

#include "platform/printing/pdf_document.h"

namespace quillon {

inline constexpr char kPrintJobName[] = "PrintOut";

// A job whose pages go to `document`, which stays open for further jobs.
std::unique_ptr<PrintJob> make_file_print_job(PdfDocument& document);

// A job for the CUPS destination `destination` (empty: the default one). Nothing, with `why`,
// when there is no such destination or no CUPS server to ask.
std::unique_ptr<PrintJob> make_cups_print_job(const std::string& destination, const FaceMatch& face,
                                              std::unique_ptr<Font> font, std::string& why);

}  // namespace quillon
