// The page of one application of kel::kDocumentTypes (Excel, Word, PowerPoint,
// Outlook): headed with its program's description and version, its rows of
// kel::kActions, and its running-state row surveyed when it is first shown.
#pragma once

#include "app/Page.h"
#include "office/Applications.h"
#include "sysinfo/Handle.h"

namespace app {

class ApplicationPage : public Page {
  public:
    // The page of the type's program, found in record; the page keeps the icon
    // extracted from it.
    ApplicationPage(MainWindow& window, const kel::TKelExtInfo& record,
                    const kel::TDocumentType& type);

  private:
    void readStates() override;

    const kel::TDocumentType& type_;
    kel::ExtractedIcon icon_;
};

} // namespace app
