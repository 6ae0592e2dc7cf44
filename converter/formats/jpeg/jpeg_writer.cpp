// SPDX-License-Identifier: MIT
#include "jpeg_writer.h"

#include "error.h"
#include "jpeg_bands.h"
#include "jpeg_compress.h"
#include "jpeg_strict.h"
#include "row_pump.h"

#include <vector>

// after jpeglib.h, which it needs
#include <jerror.h>

namespace nconvert {
namespace {

struct Destination {
    jpeg_destination_mgr base;
    OutputSink* sink;
    bool failed;
    unsigned char buffer[1 << 16];
};

void initDestination(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<Destination*>(cinfo->dest);
    destination->base.next_output_byte = destination->buffer;
    destination->base.free_in_buffer = sizeof destination->buffer;
}

void flush(j_compress_ptr cinfo, std::size_t bytes) {
    auto* destination = reinterpret_cast<Destination*>(cinfo->dest);
    if (!destination->sink->append(destination->buffer, bytes)) {
        destination->failed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

boolean emptyBuffer(j_compress_ptr cinfo) {
    flush(cinfo, sizeof Destination::buffer);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    flush(cinfo, sizeof Destination::buffer - cinfo->dest->free_in_buffer);
}

// One compressor over the whole picture, streaming to the sink: where there is one core, or
// one band. libjpeg writes its restart markers at the band boundaries itself, so the file is
// the one the bands make.
class JpegSink : public RowSink {
public:
    JpegSink(OutputSink& sink, JpegEncoding encoding, const std::string& outputName)
        : m_encoding(std::move(encoding)), m_outputName(outputName) {
        if (m_encoding.shape.cmyk)
            m_inverted.resize(m_encoding.shape.rowBytes());
        m_destination.sink = &sink;
        if (!start())
            fail();
    }
    void writeRow(const void* row) override {
        JSAMPROW samples = const_cast<JSAMPLE*>(static_cast<const JSAMPLE*>(row));
        if (m_encoding.shape.cmyk) {
            for (std::size_t i = 0; i < m_inverted.size(); ++i)
                m_inverted[i] = JSAMPLE(255 - samples[i]);
            samples = m_inverted.data();
        }
        if (setjmp(m_errors.jump))
            fail();
        jpeg_write_scanlines(&m_cinfo, &samples, 1);
    }

    void finish() override {
        if (setjmp(m_errors.jump))
            fail();
        jpeg_finish_compress(&m_cinfo);
    }

private:
    bool start() {
        m_cinfo.err = strictJpegErrors(m_errors);
        if (setjmp(m_errors.jump))
            return false;
        jpeg_create_compress(&m_cinfo);
        m_compressor.created = true;
        m_destination.base.init_destination = initDestination;
        m_destination.base.empty_output_buffer = emptyBuffer;
        m_destination.base.term_destination = termDestination;
        m_cinfo.dest = &m_destination.base;
        startJpegCompress(m_cinfo, m_encoding, m_encoding.shape.height, true);
        return true;
    }

    [[noreturn]] void fail() {
        if (m_destination.failed)
            throw Error(Status::CannotWrite, m_outputName, m_destination.sink->failure());
        throw jpegEncodingError(m_outputName, m_errors.message);
    }

    JpegEncoding m_encoding;
    std::vector<JSAMPLE> m_inverted;
    std::string m_outputName;
    JpegCompressor m_compressor;
    jpeg_compress_struct& m_cinfo = m_compressor.cinfo;
    StrictJpegErrors m_errors{};
    Destination m_destination{};
};

} // namespace

std::unique_ptr<RowSink> openJpegWriter(OutputSink& sink, const PictureShape& shape,
                                        const PictureMetadata& metadata,
                                        const std::string& outputName,
                                        const JpegWriterOptions& options) {
    if (shape.sixteenBit || shape.alpha ||
        (shape.bands != 1 && shape.bands != 3 && !(shape.bands == 4 && shape.cmyk)))
        throw Error(Status::Internal, outputName,
                    "JPEG is written from 8-bit grey, RGB or CMYK rows only");
    JpegEncoding encoding = jpegEncoding(shape, metadata, options.bandMcuRows);
    const int threads = options.threads > 0 ? options.threads : usableCores();
    if (threads > 1 && encoding.bandCount() > 1)
        return bandedJpegWriter(sink, std::move(encoding), threads, outputName);
    return std::make_unique<JpegSink>(sink, std::move(encoding), outputName);
}

} // namespace nconvert
