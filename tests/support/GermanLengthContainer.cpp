// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/GermanLengthContainer.h"

#include "resfile/Catalogue.h"

#include <gtest/gtest.h>
#include <memory>

namespace test {

const Texts& GermanLengthTexts() {
    using namespace catalogue;
    static const Texts texts = {
        {kDialogTitle, "Startmedien-Ersteller"},
        {kProgressGroupLabel, "Fortschritt"},
        {kStatusGroupLabel, "Aktueller Status"},
        {kExitLabel, "&Beenden"},
        {kFloppyJobLabel, "&Abbrechen"},
        {kErrorCaption, "Startmedien-Ersteller - Fehler"},
        {kQuestionCaption, "Startmedien-Ersteller - Bitte best\xE4tigen"},
        {kCancelCaption, "Startmedien-Ersteller - Abgebrochen"},
        {kSuccessCaption, "Startmedien-Ersteller - Fertig"},
        {kIdleStatusFormat, "Bereit. Erstes Diskettenlaufwerk ist %c:"},
        {kOpenedStatus, "Suche nach Diskettenlaufwerken und CD-Brennern l\xE4uft..."},
        {kInvalidImageStatusFormat, "Das Startabbild in %s fehlt oder ist leider besch\xE4"
                                    "digt."},
        {kNoDeviceStatus, "Kein Diskettenlaufwerk und kein CD-Brenner gefunden."},
        {kFloppyStartStatus, "Das Schreiben der Startdiskette wird vorbereitet..."},
        {kExitStatus, "Wird beendet..."},
        {kCylinderStatusFormat, "Zylinder %d von %d wird geschrieben..."},
        {kInvalidImageError, "Das Startabbild in install.dat fehlt, ist besch\xE4"
                             "digt oder kann nicht gelesen "
                             "werden. Es k\xF6nnen keine Startmedien erstellt werden."},
        {kFloppyQuestion,
         "Alle Daten auf der Diskette werden \xFC"
         "berschrieben.\n\nLegen Sie eine leere "
         "1,44-MB-Diskette in das Laufwerk ein und klicken Sie auf OK, um die Startdiskette zu "
         "schreiben, oder auf Abbrechen, um aufzuh\xF6ren."},
        {kFloppyCancelled,
         "Die Startdiskette wurde nicht fertiggestellt. Die Diskette im Laufwerk ist "
         "unvollst\xE4ndig und kann keinen Computer starten."},
        {kFloppySuccessFormat,
         "%s\n\nNehmen Sie die Diskette aus Laufwerk %c: und beschriften Sie sie mit "
         "\"Startdiskette\"."},
        {kNoVwin32Error,
         "Die Diskettenlaufwerke k\xF6nnen nicht verwendet werden: Das VWIN32-Ger\xE4t konnte "
         "nicht ge\xF6"
         "ffnet werden."},
        {kFloppyWriteError,
         "Das Schreiben auf die Diskette ist fehlgeschlagen. Die Diskette ist m\xF6glicherweise "
         "besch\xE4"
         "digt oder schreibgesch\xFCtzt; versuchen Sie es mit einer anderen Diskette."},
        {kNoMemory9xError,
         "Zum Schreiben der Startdiskette ist nicht gen\xFCgend Arbeitsspeicher frei. Der "
         "Startmedien-Ersteller wird beendet."},
        {kLockError, "Das Diskettenlaufwerk wird gerade verwendet. Schlie\xDF"
                     "en Sie alle Fenster und "
                     "Programme, die die Diskette verwenden, und versuchen Sie es erneut."},
        {kCdQuestion,
         "Alle Daten auf dem beschreibbaren Datentr\xE4ger werden \xFC"
         "berschrieben.\n\nLegen "
         "Sie eine leere CD-R oder CD-RW in den Brenner ein und klicken Sie auf OK, um die "
         "startf\xE4hige CD zu brennen, oder auf Abbrechen, um aufzuh\xF6ren."},
        {kCdBuildError,
         "Das CD-Abbild konnte nicht erstellt werden. Pr\xFC"
         "fen Sie, ob gen\xFCgend freier "
         "Speicherplatz f\xFCr tempor\xE4re Dateien vorhanden ist, und versuchen Sie es erneut."},
        {kCdSuccessFormat,
         "%s\n\nDie CD wurde ausgeworfen. Um zus\xE4tzlich eine Startdiskette zu erstellen, "
         "legen Sie eine Diskette in Laufwerk %c: ein und klicken Sie auf \"Diskette "
         "erstellen\"."},
        {kFloppyGroupLabel, "Startf\xE4hige Diskette"},
        {kCdGroupLabel, "CD-ROM mit Startfunktion"},
        {kFloppyButtonLabel, "&Diskette erstellen"},
        {kCdButtonLabel, "&CD-ROM erstellen"},
        {kDriveEntryFormat, "Laufwerk %c:"},
        {kRecordError,
         "Das Brennen der CD ist fehlgeschlagen. Der Datentr\xE4ger ist m\xF6glicherweise "
         "unbrauchbar; versuchen Sie es mit einem anderen leeren Datentr\xE4ger erneut."},
        {kNoRecorder, "Es wurde kein CD-Brenner gefunden."},
        {kSuccessDetail, "Die Startmedien sind jetzt fertig."},
        {kDiscMasterError, "Der Dienst zum Brennen von CDs konnte nicht gestartet werden."},
        {kCdPhaseFirst + 0, "Es wird nach einem CD-Brenner gesucht..."},
        {kCdPhaseFirst + 1, "Dateien werden hinzugef\xFCgt..."},
        {kCdPhaseFirst + 2, "Dateien werden hinzugef\xFCgt..."},
        {kCdPhaseFirst + 3, "Das Startabbild wird vorbereitet..."},
        {kCdPhaseFirst + 4, "Dateien werden bereitgestellt..."},
        {kCdPhaseFirst + 5, "Die CD wird jetzt gebrannt..."},
        {kCdPhaseFirst + 6, "Wird abgeschlossen..."},
        {kNoFloppyDrive, "Kein Diskettenlaufwerk gefunden"},
        {kNoCdSupport, "CD-Brennen ist hier nicht verf\xFCgbar"},
    };
    return texts;
}

std::map<ResourceId, Bytes> ContainerEntries(const std::string& path) {
    std::map<ResourceId, Bytes> entries;
    const win::HANDLE file = OpenResourceFile(path.c_str(), true);
    if (file == win::INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot open " << path;
        return entries;
    }
    std::uint16_t count = 0;
    std::unique_ptr<ResourceEntry, FreeDeleter> directory(ReadResourceDirectory(file, &count));
    for (std::uint16_t i = 0; directory != nullptr && i < count; ++i) {
        const ResourceId id = directory.get()[i].id();
        std::uint32_t size = 0;
        std::unique_ptr<void, FreeDeleter> data(ReadResourceData(file, id, directory.get(), &size));
        const auto* bytes = static_cast<const std::uint8_t*>(data.get());
        if (bytes != nullptr)
            entries.emplace(id, Bytes(bytes, bytes + size));
    }
    CloseResourceFile(file);
    return entries;
}

ContainerBuilder ContainerWithTexts(const std::map<ResourceId, Bytes>& entries,
                                    const Texts& texts) {
    ContainerBuilder container;
    for (const auto& [id, bytes] : entries) {
        if (!texts.contains(id))
            container.add(id, bytes);
    }
    for (const auto& [id, text] : texts)
        container.add(id, text);
    return container;
}

} // namespace test
