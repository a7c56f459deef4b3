#pragma once
// The multipart/form-data upload engine: a queue of files and text fields, put on the wire one
// file per request (small files streamed, large ones in chunks) or several files in one request.
// Each uploader has its own internet session with a browser-like agent string; the process's
// cookie store supplies the login cookies. Every request follows the redirects its answer asks
// for (market/redirect_chain.h); the last answer is judged, and only a 2xx one by the rules. The
// requests go with the job's context when one is given (its time bound and login watch).

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "market/failure_reason.h"
#include "market/job_context.h"
#include "platform/net_layer.h"
#include "upload/multipart_format.h"

namespace kesto {

class UploadFile;
struct ChainEnd;
struct RequestTarget;

class Uploader {
  public:
    static constexpr std::uint64_t kMaxSingleBytes = 40960;  // larger files go in chunks
    static constexpr std::size_t kWriteBytes = 10240;        // streaming piece of the single format
    static constexpr std::uint64_t kChunkBytes = 327680;
    static constexpr char kAgent[] =
        "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; KestoUpload 1.0)";

    Uploader();
    // With a session of the caller's choice instead of one of its own.
    explicit Uploader(std::unique_ptr<net::Session> ownSession);
    virtual ~Uploader();
    Uploader(const Uploader&) = delete;
    Uploader& operator=(const Uploader&) = delete;

    // Judges the server's answer to one request: the integer after "result=".
    virtual int ParseAnswer(std::string_view answer);
    // Kept for the class family's shape; returns 0 and nothing calls it.
    virtual int Reserved();
    // Whether the batch path sends all queued files in one request.
    virtual bool IsSingleRequest() const;

    // Replaces the value of the field with exactly this name, or appends the field; a null value
    // gives an empty one.
    void SetField(std::string_view name, const char* value);
    // Queues the file at path under the part name, or "__file<n>" when name is null. Returns 0
    // and queues nothing when nothing exists at the path, else 1.
    int AddFile(const char* name, std::string_view path);
    // Sends every queued file to the address. Returns 1 when every request was accepted, -1
    // otherwise, 0 for a null or empty address. Empties the file queue and leaves batch mode.
    int Upload(const char* url);
    // Why the last upload failed (also the context's lastFailure); empty when it succeeded.
    const RequestFailure& failure() const {
        return jobContext != nullptr ? jobContext->lastFailure : ownContext_.lastFailure;
    }

    std::string fileFieldName = "file";  // part name in the one-file and chunked formats
    bool batchMode = false;
    // Told after each accepted chunk of a chunked upload: the file's bytes sent so far, of all.
    std::function<void(std::uint64_t sent, std::uint64_t size)> chunkAccepted;
    // The job the uploads are made for; none: a context of the uploader's own (no time bound,
    // no login watch).
    JobContext* jobContext = nullptr;

  protected:
    std::vector<std::string> files;
    multipart::Fields fields;
    std::string boundary = "----nbceooq13241247ABZ";
    std::unique_ptr<net::Session> session;
    std::mutex lock;
    std::vector<std::string> fileNames;  // part names, UTF-8 like every text of the core
    int autoNameCount = 0;

  private:
    struct GroupMember;

    JobContext& Context() { return jobContext != nullptr ? *jobContext : ownContext_; }

    int SendOneFile(const char* url, const std::string& path, const std::string& fieldsBlock);
    int SendSingle(const RequestTarget& target, const std::string& path, std::uint64_t size,
                   const std::string& head, const std::string& fieldsBlock);
    // Streams the single format's body of announced length; false, with the reason noted and
    // traced, when a step fails or the file changed.
    bool StreamSingle(net::Request& request, std::string_view host, UploadFile& file,
                      const std::string& head, const std::string& fieldsBlock);
    int SendChunked(const RequestTarget& target, const std::string& path, UploadFile& file,
                    std::string_view partName, const std::string& fieldsBlock);
    int SendBatch(const char* url, const std::string& fieldsBlock);
    int SendGroup(const RequestTarget& target, const std::vector<GroupMember>& group,
                  const std::string& fieldsBlock);
    // Reads and judges the last answer of a request's chain, noting why it was not accepted.
    int JudgeAnswer(const ChainEnd& end);

    JobContext ownContext_;
};

}  // namespace kesto
