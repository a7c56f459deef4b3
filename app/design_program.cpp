#include "app/design_program.h"

#include <utility>

#include "platform/translation.h"
#include "templates/template_roots.h"

namespace kesto {

namespace {

constexpr const char* kClosesAfterJobLine =
    TranslatedLater("The program closes once the decoration has finished.");

// The reason given when the job stops on an exception that no area caught.
constexpr const char* kJobStoppedReason =
    TranslatedLater("the decoration stopped on an unexpected error");

}  // namespace

DesignProgram::DesignProgram(DesktopPlatform platform)
    : DesignProgram(std::make_unique<DesktopServices>(std::move(platform)),
                    DesignProgramSettings{TemplateRoots(ProcessTemplatePlaces())}) {}

DesignProgram::DesignProgram(std::unique_ptr<DesignServices> services,
                             DesignProgramSettings settings)
    : services_(std::move(services)), settings_(std::move(settings)) {}

DesignProgram::~DesignProgram() {
    if (job_.joinable()) {
        job_.join();
    }
}

void DesignProgram::OnInitDialog(DesignDialogView& view,
                                 std::shared_ptr<JobMessageSink> jobMessages) {
    view_ = &view;
    jobMessages_ = std::move(jobMessages);
    pendingEnd_.reset();
    ending_ = false;
    dialog_.emplace(view, *services_, settings_.loginPollMilliseconds, [messages = jobMessages_] {
        if (messages) {
            messages->PostShopFrontNotOpened();
        }
    });
    dialog_->OnInit(settings_.templateRoots);
}

void DesignProgram::OnDialogDestroyed() {
    dialog_.reset();
    view_ = nullptr;
    jobMessages_.reset();
}

void DesignProgram::OnLogin() {
    if (dialog_) {
        dialog_->OnLogin();
    }
}

void DesignProgram::OnLoginTimer() {
    if (dialog_) {
        dialog_->OnLoginTimer();
    }
}

void DesignProgram::OnUpload() {
    if (!dialog_ || dialog_->jobRunning()) {
        return;
    }
    std::optional<JobRequest> request = dialog_->OnUpload();
    if (!request) {
        return;
    }
    // The previous job's thread has reported its end as its last act, so this wait is short.
    if (job_.joinable()) {
        job_.join();
    }
    job_ = std::jthread([this, request = std::move(*request), messages = jobMessages_] {
        RunJob(request, messages);
    });
}

void DesignProgram::OnPreview() {
    if (dialog_) {
        dialog_->OnPreview();
    }
}

bool DesignProgram::OnLink(const std::string& target) {
    return services_->OpenWithShell(target);
}

void DesignProgram::OnProgress(const ProgressMessage& message) {
    if (dialog_) {
        dialog_->OnProgress(message);
    }
}

void DesignProgram::OnShopFrontNotOpened() {
    if (dialog_) {
        dialog_->OnShopFrontNotOpened();
    }
}

void DesignProgram::OnJobEnded() {
    if (!dialog_) {
        return;
    }
    dialog_->OnJobEnded();
    if (pendingEnd_) {
        const int code = *pendingEnd_;
        pendingEnd_.reset();
        EndDialog(code);
    }
}

void DesignProgram::OnExit() {
    RequestEnd(kEndedByExit);
}

void DesignProgram::OnClose() {
    RequestEnd(kEndedByClose);
}

std::vector<std::string> DesignProgram::templatePaths() const {
    return dialog_ ? dialog_->templatePaths() : std::vector<std::string>{};
}

void DesignProgram::RequestEnd(int code) {
    if (!dialog_ || ending_) {
        return;  // no window, or it is going with the first request's code
    }
    if (!dialog_->jobRunning()) {
        EndDialog(code);
        return;
    }
    if (!pendingEnd_) {
        pendingEnd_ = code;
        view_->AddProgressLine(Translate(kClosesAfterJobLine));
    }
}

void DesignProgram::RunJob(const JobRequest& request,
                           const std::shared_ptr<JobMessageSink>& messages) {
    try {
        services_->RunJob(request, messages);
    } catch (...) {
        // Out of memory while building the steps, or in a post between areas: the job ends
        // without its completion message, as after a failed area, and says so.
        try {
            messages->Post(
                {kFailureReason, 0, 0, Translate(kJobStoppedReason), "unexpected-error"});
        } catch (...) {
        }
    }
    messages->PostJobEnded();
}

void DesignProgram::EndDialog(int code) {
    ending_ = true;
    view_->End(code);  // may report the window gone before it returns
}

}  // namespace kesto
