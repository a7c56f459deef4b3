#include "market/uploader.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>

#include "market/answer_message.h"
#include "market/answer_reader.h"
#include "market/failure_reason.h"
#include "market/redirect_chain.h"
#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "support/trace_log.h"
#include "upload/answer_rules.h"

namespace kesto {

namespace {

// The bytes the files hold together; a file that cannot be measured counts as none.
std::uint64_t BytesOf(const std::vector<std::string>& paths) {
    std::uint64_t bytes = 0;
    for (const std::string& path : paths) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(PathFromUtf8(path), error);
        bytes += error ? 0 : size;
    }
    return bytes;
}

}  // namespace

// A queued file opened for reading, with its size. Only a regular file is opened: a FIFO would
// block the upload until something writes to it. Sizes are taken as 32-bit values on the wire
// side, so a file of 4 GiB or more is refused rather than sent wrong.
class UploadFile {
  public:
    static constexpr std::uint64_t kMaxBytes = 0xFFFFFFFFu;

    explicit UploadFile(const std::string& path) {
        const std::filesystem::path file = PathFromUtf8(path);
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) {
            return;
        }
        const std::uintmax_t bytes = std::filesystem::file_size(file, error);
        if (error || bytes > kMaxBytes) {
            return;
        }
        stream_.open(file, std::ios::binary);
        open_ = stream_.is_open();
        size_ = open_ ? bytes : 0;
    }

    bool open() const { return open_; }
    std::uint64_t size() const { return size_; }

    // Reads up to count bytes where the previous read ended; how many arrived.
    std::size_t Read(char* buffer, std::size_t count) {
        stream_.read(buffer, static_cast<std::streamsize>(count));
        return static_cast<std::size_t>(stream_.gcount());
    }

    // Whether the file holds more bytes than were read from it: it grew after it was measured.
    bool HasMore() {
        char byte = 0;
        return Read(&byte, 1) == 1;
    }

    // Appends up to count bytes to the text; how many arrived.
    std::size_t AppendTo(std::string& text, std::size_t count) {
        const std::size_t start = text.size();
        text.resize(start + count);
        const std::size_t read = Read(text.data() + start, count);
        text.resize(start + read);
        return read;
    }

  private:
    std::ifstream stream_;
    bool open_ = false;
    std::uint64_t size_ = 0;
};

struct Uploader::GroupMember {
    std::string path;
    std::string partName;
    std::uint64_t size = 0;
};

namespace {

bool StartsWithHttps(std::string_view url) {
    return StartsWithIgnoringAsciiCase(url, "https://");
}

// The address's parts, with port 443 and a secure request for "https://".
std::optional<RequestTarget> TargetOf(const char* url) {
    std::optional<RequestTarget> target =
        RedirectTarget(url, net::kFlagReload | net::kFlagKeepConnection);
    if (target && StartsWithHttps(url)) {
        target->parts.port = net::kDefaultHttpsPort;
    }
    return target;
}

int TraceError(const char* format, unsigned long error) {
    return ProcessTraceLog().Write(format, static_cast<int>(error));
}

// Notes why a request failed, for the reason the job shows after an area's failure line.
void NoteNetFailure(RequestFailure& failure, const net::Session& session, std::string_view host) {
    failure = {DescribeNetError(session.LastError(), host), false,
               NetErrorCode(session.LastError())};
}

// Notes why an answer was not accepted: its status when that is an error, else the refusal.
void NoteRefusedAnswer(RequestFailure& failure, int status, std::string_view host,
                       std::string_view answer) {
    const bool statusError = status > 0 && status != 200;
    failure = {
        WithAnswerMessage(statusError ? DescribeStatus(status, host)
                                      : FillIn(Translate("{} did not accept the upload"), {host}),
                          answer),
        false, statusError ? StatusCode(status) : "upload-refused"};
}

// Whether the answer's status is a success (2xx). A gateway's or proxy's error page carries no
// error code of the marketplace's own, so no answer rule may judge it: its status decides.
// A status the layer cannot read (0) leaves the judgement to the rule.
bool SuccessStatus(int status) {
    return status == 0 || (status >= 200 && status < 300);
}

// The code of a request that got no answer to judge: -1 when it never went out, 0 when sending
// it failed.
int UnansweredCode(const ChainEnd& end) {
    return end.outcome == ChainEnd::Outcome::kNotSent ? 0 : -1;
}

// The request a redirect made a GET: no header lines, no body.
bool SendWithoutBody(RequestFailure& failure, const net::Session& session, net::Request& request,
                     std::string_view host) {
    if (request.Send("", "")) {
        return true;
    }
    TraceError("HttpSendRequest error,errcode=%d", session.LastError());
    NoteNetFailure(failure, session, host);
    return false;
}

// Notes an answer that did not come, unless reading it already noted why (too long, the job's
// time up).
void NoteNoAnswer(RequestFailure& failure, std::string_view host) {
    if (failure.reason.empty()) {
        failure = {DescribeStatus(0, host), false, StatusCode(0)};
    }
}

void NoteUnreadableFile(RequestFailure& failure, const std::string& path) {
    failure = {FillIn(Translate("the file {} cannot be read"), {path}), false, "file-unreadable"};
}

// A file that is not the size it was measured at would go out cut or mixed: it is refused.
void NoteChangedFile(RequestFailure& failure, const std::string& path) {
    ProcessTraceLog().Write("Send data error");
    failure = {FillIn(Translate("the file {} changed while it was sent"), {path}), false,
               "file-changed"};
}

}  // namespace

Uploader::Uploader() : Uploader(net::OpenSession(kAgent)) {}

Uploader::Uploader(std::unique_ptr<net::Session> ownSession) : session(std::move(ownSession)) {}

Uploader::~Uploader() = default;

int Uploader::ParseAnswer(std::string_view answer) {
    return ResultCodeRule(answer);
}

int Uploader::Reserved() {
    return 0;
}

bool Uploader::IsSingleRequest() const {
    return false;
}

void Uploader::SetField(std::string_view name, const char* value) {
    const std::string text = value == nullptr ? std::string() : std::string(value);
    const auto existing = std::find_if(fields.begin(), fields.end(),
                                       [&](const auto& field) { return field.first == name; });
    if (existing != fields.end()) {
        existing->second = text;
    } else {
        fields.emplace_back(std::string(name), text);
    }
}

int Uploader::AddFile(const char* name, std::string_view path) {
    std::error_code error;
    if (!std::filesystem::exists(PathFromUtf8(path), error)) {
        return 0;
    }
    const std::lock_guard<std::mutex> guard(lock);
    files.emplace_back(path);
    if (name != nullptr) {
        fileNames.emplace_back(name);  // UTF-8: the part head converts it when it is written
    } else {
        fileNames.push_back("__file" + std::to_string(autoNameCount++));
    }
    return 1;
}

int Uploader::Upload(const char* url) {
    if (url == nullptr || *url == '\0') {
        return 0;
    }
    const std::lock_guard<std::mutex> guard(lock);
    JobContext& context = Context();
    context.lastFailure = {};
    context.timeBound.AllowTimeForUpload(BytesOf(files));
    int result = 1;
    if (batchMode) {
        if (SendBatch(url, multipart::FieldsBlock(boundary, fields)) <= 0) {
            result = -1;
        }
    } else {
        for (const std::string& path : files) {
            if (SendOneFile(url, path, multipart::FieldsBlock(boundary, fields)) <= 0) {
                result = -1;
                break;
            }
        }
    }
    if (result < 0) {
        // A request refused or cut short by the job's time bound says so.
        context.timeBound.BlameTimeBound(context.lastFailure);
    }
    files.clear();
    fileNames.clear();
    autoNameCount = 0;
    batchMode = false;
    return result;
}

int Uploader::SendOneFile(const char* url, const std::string& path,
                          const std::string& fieldsBlock) {
    const std::optional<RequestTarget> target = TargetOf(url);
    if (!target) {
        return 0;
    }
    UploadFile file(path);
    if (!file.open()) {
        NoteUnreadableFile(Context().lastFailure, path);
        return -2;
    }
    const std::string partName = multipart::QuotedParameter(fileFieldName);
    if (file.size() <= kMaxSingleBytes) {
        const std::string head = multipart::SingleHead(
            boundary, partName, multipart::FileNameOf(path), multipart::MimeTypeOf(path));
        return SendSingle(*target, path, file.size(), head, fieldsBlock);
    }
    return SendChunked(*target, path, file, partName, fieldsBlock);
}

int Uploader::SendSingle(const RequestTarget& target, const std::string& path, std::uint64_t size,
                         const std::string& head, const std::string& fieldsBlock) {
    JobContext& context = Context();
    const auto send = [&](net::Request& request, std::string_view host, bool withBody) {
        if (!withBody) {
            return SendWithoutBody(context.lastFailure, *session, request, host);
        }
        request.AddHeader(multipart::ContentTypeLine(boundary), true);
        // Opened for each request: a redirect that keeps the body sends the file again.
        UploadFile file(path);
        if (!file.open() || file.size() != size) {
            NoteChangedFile(context.lastFailure, path);
            return false;
        }
        return StreamSingle(request, host, file, head, fieldsBlock);
    };
    const ChainEnd end = SendFollowingRedirects(*session, context, target, "POST", send);
    return end.outcome == ChainEnd::Outcome::kAnswered ? JudgeAnswer(end) : UnansweredCode(end);
}

bool Uploader::StreamSingle(net::Request& request, std::string_view host, UploadFile& file,
                            const std::string& head, const std::string& fieldsBlock) {
    RequestFailure& failure = Context().lastFailure;
    const std::string tail = multipart::Tail(boundary);
    if (!request.BeginSend(head.size() + file.size() + fieldsBlock.size() + tail.size())) {
        ProcessTraceLog().Write("Send content len error.");
        NoteNetFailure(failure, *session, host);
        return false;
    }
    if (!request.Write(head)) {
        ProcessTraceLog().Write("Send header error.");
        NoteNetFailure(failure, *session, host);
        return false;
    }
    std::vector<char> piece(kWriteBytes);
    for (std::uint64_t left = file.size(); left > 0;) {
        const std::size_t read =
            file.Read(piece.data(), std::min<std::uint64_t>(left, kWriteBytes));
        if (read == 0) {
            failure = {Translate("the file changed while it was sent"), false, "file-changed"};
            ProcessTraceLog().Write("Send data error");
            return false;
        }
        if (!request.Write(std::string_view(piece.data(), read))) {
            TraceError("InternetWriteFile error,errcode=%d", session->LastError());
            NoteNetFailure(failure, *session, host);
            ProcessTraceLog().Write("Send data error");
            return false;
        }
        left -= read;
    }
    if (file.HasMore()) {
        failure = {Translate("the file changed while it was sent"), false, "file-changed"};
        ProcessTraceLog().Write("Send data error");
        return false;
    }
    if (!fieldsBlock.empty() && !request.Write(fieldsBlock)) {
        ProcessTraceLog().Write("Send form data error");
        NoteNetFailure(failure, *session, host);
        return false;
    }
    if (!request.Write(tail) || !request.EndSend()) {
        NoteNetFailure(failure, *session, host);
        return false;
    }
    return true;
}

int Uploader::SendChunked(const RequestTarget& target, const std::string& path, UploadFile& file,
                          std::string_view partName, const std::string& fieldsBlock) {
    const std::string fileName = multipart::FileNameOf(path);
    const std::string mimeType = multipart::MimeTypeOf(path);
    const std::string tail = multipart::Tail(boundary);
    const std::string contentType = multipart::ContentTypeLine(boundary);
    std::string body;
    JobContext& context = Context();
    const auto send = [&](net::Request& request, std::string_view host, bool withBody) {
        if (!withBody) {
            return SendWithoutBody(context.lastFailure, *session, request, host);
        }
        request.AddHeader(contentType, true);
        if (request.Send("", body)) {
            return true;
        }
        TraceError("HttpSendRequest error,errcode=%d", session->LastError());
        NoteNetFailure(context.lastFailure, *session, host);
        return false;
    };
    for (std::uint64_t offset = 0; offset < file.size();) {
        const bool last = offset + kChunkBytes >= file.size();
        body = multipart::ChunkHead(boundary, offset, last, partName, fileName, mimeType);
        const auto wanted = static_cast<std::size_t>(std::min(kChunkBytes, file.size() - offset));
        // A file that shrank would end without its last chunk, one that grew would lose its
        // end: neither may be reported as sent.
        if (file.AppendTo(body, wanted) != wanted || (last && file.HasMore())) {
            NoteChangedFile(context.lastFailure, path);
            return -1;
        }
        body += fieldsBlock;
        body += tail;
        const ChainEnd end = SendFollowingRedirects(*session, context, target, "POST", send);
        if (end.outcome != ChainEnd::Outcome::kAnswered) {
            return end.outcome == ChainEnd::Outcome::kNotOpened ? -2 : -1;
        }
        const AnswerText answer = ReadAnswer(*session, context, *end.request, end.host);
        if (!answer.whole() || answer.bytes.empty()) {
            TraceError("InternetReadFile,errcode=%d", answer.error);
            NoteNoAnswer(context.lastFailure, end.host);
            return -1;
        }
        const int code = SuccessStatus(end.status) ? ParseAnswer(answer.bytes) : 0;
        offset += wanted;
        if (code <= 0) {
            NoteRefusedAnswer(context.lastFailure, end.status, end.host, answer.bytes);
        }
        if (code != 1) {
            ProcessTraceLog().Write("Upload server report error,errcode=%d", code);
            return code;
        }
        if (chunkAccepted) {
            chunkAccepted(offset, file.size());
        }
    }
    return 1;
}

int Uploader::SendBatch(const char* url, const std::string& fieldsBlock) {
    if (files.size() != fileNames.size()) {
        return 0;
    }
    const std::optional<RequestTarget> target = TargetOf(url);
    if (!target) {
        return 0;
    }
    std::vector<GroupMember> group;
    std::uint64_t groupBytes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        UploadFile file(files[i]);
        if (!file.open()) {
            NoteUnreadableFile(Context().lastFailure, files[i]);
            return -2;
        }
        if (!IsSingleRequest() && file.size() > kChunkBytes) {
            if (SendChunked(*target, files[i], file, multipart::QuotedParameter(fileFieldName),
                            fieldsBlock) <= 0) {
                return -1;
            }
            continue;
        }
        if (!IsSingleRequest() && !group.empty() && groupBytes + file.size() >= kChunkBytes) {
            if (SendGroup(*target, group, fieldsBlock) <= 0) {
                return -1;
            }
            group.clear();
            groupBytes = 0;
        }
        group.push_back({files[i], multipart::QuotedParameter(fileNames[i]), file.size()});
        groupBytes += file.size();
    }
    if (!group.empty() && SendGroup(*target, group, fieldsBlock) <= 0) {
        return -1;
    }
    return 1;
}

int Uploader::SendGroup(const RequestTarget& target, const std::vector<GroupMember>& group,
                        const std::string& fieldsBlock) {
    const std::string delimiter = "--" + boundary + "\r\n";
    std::string body = delimiter;
    for (std::size_t i = 0; i < group.size(); ++i) {
        const GroupMember& member = group[i];
        if (i > 0) {
            body += "\r\n" + delimiter;
        }
        body += multipart::BatchPartHead(member.partName, multipart::FileNameOf(member.path),
                                         multipart::MimeTypeOf(member.path));
        UploadFile file(member.path);
        // A file that changed since it was measured would leave its part short or cut: refuse it.
        if (!file.open() || member.size == 0 ||
            file.AppendTo(body, static_cast<std::size_t>(member.size)) != member.size ||
            file.HasMore()) {
            NoteUnreadableFile(Context().lastFailure, member.path);
            return -1;
        }
    }
    body += fieldsBlock;
    body += multipart::Tail(boundary);
    JobContext& context = Context();
    const auto send = [&](net::Request& request, std::string_view host, bool withBody) {
        if (!withBody) {
            return SendWithoutBody(context.lastFailure, *session, request, host);
        }
        request.AddHeader(multipart::ContentTypeLine(boundary), true);
        if (request.Send("", body)) {
            return true;
        }
        NoteNetFailure(context.lastFailure, *session, host);
        return false;
    };
    const ChainEnd end = SendFollowingRedirects(*session, context, target, "POST", send);
    return end.outcome == ChainEnd::Outcome::kAnswered ? JudgeAnswer(end) : -1;
}

int Uploader::JudgeAnswer(const ChainEnd& end) {
    JobContext& context = Context();
    const AnswerText answer = ReadAnswer(*session, context, *end.request, end.host);
    if (!answer.whole() || answer.bytes.empty()) {
        NoteNoAnswer(context.lastFailure, end.host);
        return 0;
    }
    const int code = SuccessStatus(end.status) ? ParseAnswer(answer.bytes) : 0;
    if (code <= 0) {
        NoteRefusedAnswer(context.lastFailure, end.status, end.host, answer.bytes);
    }
    return code;
}

// The answer rules take 32-bit lengths.
static_assert(net::kMaxAnswerBytes <= INT_MAX);

}  // namespace kesto
