#include "platform/jpeg/TurboJpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace zavora {

namespace {

// The library reports a fatal error through error_exit, which must not
// return: jump back to encode with the message kept.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void trapError(j_common_ptr info)
{
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

void ignoreMessage(j_common_ptr) { }

// The library writes into a vector of ours, so a failure part way leaves
// nothing of its own to free.
struct VectorDestination {
    jpeg_destination_mgr manager {};
    std::vector<uint8_t> bytes;
    static constexpr size_t kChunk = 65536;

    static void init(j_compress_ptr info) { grow(info, 0); }
    static boolean empty(j_compress_ptr info)
    {
        grow(info, self(info).bytes.size());
        return TRUE;
    }
    static void term(j_compress_ptr info)
    {
        VectorDestination& d = self(info);
        d.bytes.resize(d.bytes.size() - d.manager.free_in_buffer);
    }

private:
    static VectorDestination& self(j_compress_ptr info) { return *static_cast<VectorDestination*>(info->client_data); }
    static void grow(j_compress_ptr info, size_t used)
    {
        VectorDestination& d = self(info);
        bool grown = true;
        try {
            d.bytes.resize(used + kChunk);
        } catch (const std::bad_alloc&) {
            grown = false;
        }
        if (!grown) // the trap jumps out of the library, never across a handler
            ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
        d.manager.next_output_byte = d.bytes.data() + used;
        d.manager.free_in_buffer = kChunk;
    }
};

} // namespace

bool TurboJpegEncoder::encode(
    const RgbImageView& image, int quality, std::vector<uint8_t>& bytes, std::string& error)
{
    if (!image.isValid()) {
        error = "The image is empty";
        return false;
    }
    // Everything the library touches lives on the heap: locals changed
    // between setjmp and longjmp lose their values.
    struct Job {
        jpeg_compress_struct info {};
        ErrorTrap trap {};
        VectorDestination destination;
    };
    const auto job = std::make_unique<Job>();
    jpeg_compress_struct& info = job->info;
    info.err = jpeg_std_error(&job->trap.manager);
    job->trap.manager.error_exit = trapError;
    job->trap.manager.output_message = ignoreMessage;
    job->destination.manager.init_destination = VectorDestination::init;
    job->destination.manager.empty_output_buffer = VectorDestination::empty;
    job->destination.manager.term_destination = VectorDestination::term;
    if (setjmp(job->trap.jump)) {
        jpeg_destroy_compress(&job->info);
        error = job->trap.message;
        return false;
    }
    jpeg_create_compress(&info);
    info.client_data = &job->destination;
    info.dest = &job->destination.manager;
    info.image_width = JDIMENSION(image.width);
    info.image_height = JDIMENSION(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    // The defaults for RGB input are YCbCr with both chroma planes at half
    // width and half height, as we want.
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.pixels + size_t(info.next_scanline) * size_t(image.stride));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    bytes = std::move(job->destination.bytes);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace zavora
