// Tfiche_ppal::LectureSmartCard: one run of the service check against winscard.dll, reported in the pane.
#include "scard/service_check.h"
#include "scard/winscard_manager.h"
#include "ui/ppal.h"

namespace orbelin {

void Tfiche_ppal::LectureSmartCard() {
    WinSCardManager manager;
    Announcement announcement;
    BothWriters<Tfiche_ppal, Announcement> writers(*this, announcement);
    RunServiceCheck(manager, writers);
    AnnounceReport(announcement);
}

}  // namespace orbelin
