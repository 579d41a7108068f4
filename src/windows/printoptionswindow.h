#pragma once
// The print options window: the user picks one of the four printed reports
// of the open study and prints it with "Aceptar", as often as wanted; the
// window stays open and keeps its choice. Created once at start-up, shown
// without waiting by the print command. Each "Aceptar" is one print job,
// computed into the window's own result records before the job starts.
#include "render/printedreports.h"
#include "stats/outcomes.h"
#include "windows/recordedprinting.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QPushButton;
class StudyEditor;
class UserDialogs;

class PrintOptionsWindow : public QWidget {
    Q_OBJECT
public:
    PrintOptionsWindow(UserDialogs &dialogs, char decimalSeparator, QWidget *parent = nullptr);

    // Where "Aceptar" finds the open study (none: nothing to print).
    void setStudySource(std::function<StudyEditor *()> source) { m_study = std::move(source); }
    // Where it learns the study's file, for the pages' identification line.
    void setStudyOrigin(StudyOrigin origin) { m_origin = std::move(origin); }
    // Where the criteria page finds the T the user set in the criteria
    // window (none: the mean of the levels), so that the page printed says
    // what the window shows.
    void setCriteriaTarget(std::function<stats::Target()> source) { m_target = std::move(source); }
    // Where the weighting page finds the weight the user chose in the
    // weighting window (none: the rule's choice), for the same reason.
    void setWeightChoice(std::function<stats::WeightingOptions()> source) { m_weight = std::move(source); }
    // The samples and confidence the samples page prints: those of the
    // samples window the user went to last (none: the method alone).
    void setSamplesSource(std::function<void(stats::AnalysisOptions &)> source) { m_samples = std::move(source); }
    // The whole study of several series and the profile's β and λ, for the
    // pages of every series (the accuracy profile); none for a .w04 study.
    void setWholeStudySource(std::function<void(stats::AnalysisOptions &)> source)
    {
        m_wholeStudy = std::move(source);
    }

    render::PrintedReport selectedReport() const;
    void selectReport(render::PrintedReport report);

    // "Aceptar": checks and computes the selected report, asks for the
    // printer and prints it as one job.
    void printSelected();

private:
    UserDialogs &m_dialogs;
    const char m_separator;
    std::function<StudyEditor *()> m_study;
    StudyOrigin m_origin;
    std::function<stats::Target()> m_target;
    std::function<stats::WeightingOptions()> m_weight;
    std::function<void(stats::AnalysisOptions &)> m_samples;
    std::function<void(stats::AnalysisOptions &)> m_wholeStudy;
    QButtonGroup *opcion = nullptr;
};
