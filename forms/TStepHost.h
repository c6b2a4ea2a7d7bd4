#pragma once
// What a step form may ask of the window that hosts it: the service
// connections and documents it sends and reads, the step actions brought up
// to date, the busy marks, the step messages posted to the window or its
// report form, the report files of the temporary directory. The main window
// implements it and hands it to every step and dialog it makes.

#include <functional>

class QObject;
class QString;
class TXMLElement;
class THttpClient;
class TSubjectProperty;
class TvxComps;
class TvxLogin;
class TvxpDocument;
class TvxpPersonalInfo;
class TvxRequestMap;
class TvxRptGen;

class TStepHost {
public:
    virtual ~TStepHost() = default;

    // The connections and documents the steps use; all owned by the host.
    struct TServices {
        THttpClient* http = nullptr;
        TvxpDocument* ConfigDoc = nullptr;
        TvxLogin* vxLogin = nullptr;
        TSubjectProperty* SubProp = nullptr;
        TSubjectProperty* CompProp = nullptr;
        TvxComps* vxComps = nullptr;
        TvxRequestMap* RequestMap = nullptr;
        TvxRptGen* vxRptGen = nullptr;
        TvxpDocument* CompInfoXml = nullptr;
        TvxpPersonalInfo* PersonalInfo = nullptr;
    };

    virtual TServices Services() const = 0;
    // The host's window: a step keeps a guarded pointer to it across a
    // nested event loop, after which the host may be gone.
    virtual QObject* HostWindow() = 0;

    // The step actions enabled and checked from the application state.
    virtual void UpdateActions() = 0;
    // A step message (forms/StepMessages.h) posted to the host, sent at
    // once, or posted to its report form when that exists.
    virtual void PostStepMessage(unsigned msg) = 0;
    virtual void SendStepMessage(unsigned msg) = 0;
    virtual void PostReportMessage(unsigned msg) = 0;
    // Whether the request a step message asks for may start now: not while
    // a running request still needs what it would replace, nor twice at
    // once, nor without a session. When it may not, the user has been told
    // why, and the step leaves everything as it was.
    virtual bool MayStart(unsigned msg) = 0;
    // The View Comps step's comp-information request: send runs it under
    // the same watch as the host's own requests. False when it may not
    // start now, or when its answer is not to be taken over (the user logged
    // out, searched another property or other comps meanwhile, or left the
    // program); the user has been told why, and the step shows nothing.
    virtual bool SendCompInfo(const std::function<void()>& send) = 0;

    // The waiting animation while a step waits on the server, and the
    // elapsed time told in the status bar when it is done.
    virtual void SetBusy(bool busy) = 0;
    virtual void ShowElapsed(const QString& text) = 0;
    // Set from Do Report until the report made for it is closed.
    virtual bool ReportBusy() const = 0;
    virtual void SetReportBusy(bool value) = 0;

    // The window's caption; the logout timer started again on activity.
    virtual void SetCaption(const QString& caption) = 0;
    virtual void RestartLogoutTimer() = 0;

    // The one-page property information report of an answer element written
    // into the temporary directory under fileName, a report file of the
    // temporary directory removed, and one shown in the modal preview.
    virtual void WritePropertyInfoReport(TXMLElement* property, const QString& fileName) = 0;
    virtual void DeleteReportFile(const QString& fileName) = 0;
    virtual void PreviewReportFile(const QString& fileName) = 0;
    // For a step that shows a report file itself: the user told once which
    // of its pages are incomplete.
    virtual void TellIncompleteReport(const QString& fileName) = 0;
};
