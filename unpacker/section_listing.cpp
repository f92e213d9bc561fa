// The listings of tarnsplit --list.
#include "section_listing.h"

#include <cinttypes>
#include <string>

#include "clock_text.h"
#include "decimal_text.h"
#include "description_writer.h"
#include "json_writer.h"
#include "object_section_writer.h"
#include "safe_name.h"

namespace {

const char* version_name(object_version version) {
  return version == object_version::v1 ? "CLV1" : "CLV2";
}

// ---- The table ---------------------------------------------------------------------------

class text_listing : public section_listing, object_section_visitor {
 public:
  explicit text_listing(FILE* out) : out_(out) {}

  void begin() override {
    std::fprintf(out_, "%10s  %10s  %6s  %-19s  %s\n", "Full size", "Stored", "Saved", "Date       Time",
                 "Name");
  }

  void file(const char* name, const section_header& header, bool extractable) override {
    line(header.full_size, header.stored_size, clock_text(header.time),
         printable_name(name) + (extractable ? "" : "  (not extractable)"));
  }

  object_section_visitor& objects(const section_header& header) override {
    objects_header_ = header;
    return *this;
  }

  void counts(const object_section_counts& counts) override { counts_ = counts; }

  void objects_read() override {
    line(objects_header_.full_size, objects_header_.stored_size, clock_text(objects_header_.time),
         std::string("(object section ") + version_name(counts_.version) + ": " +
             count_text(counts_.images, "image") + ", " + count_text(counts_.map_objects, "map object") +
             ", " + count_text(counts_.screen_objects, "screen object") + ")");
  }

  void totals(uint32_t sections, uint64_t full_size, uint64_t stored_size) override {
    std::fprintf(out_, "----------  ----------  ------  -------------------  ----\n");
    line(full_size, stored_size, "", count_text(sections, "section"));
  }

  void end(unpack_status) override {}

 private:
  void line(uint64_t full_size, uint64_t stored_size, const std::string& time, const std::string& name) {
    std::fprintf(out_, "%10" PRIu64 "  %10" PRIu64 "  %s%%  %-19s  %s\n", full_size, stored_size,
                 percent_text(full_size, stored_size, 5).c_str(), time.c_str(), name.c_str());
  }

  FILE* out_;
  section_header objects_header_{};
  object_section_counts counts_;
};

// ---- JSON --------------------------------------------------------------------------------

class json_listing : public section_listing, object_section_visitor {
 public:
  json_listing(FILE* out, const char* container_name) : json_(out), container_name_(container_name) {}

  void begin() override { open_document(); }

  void file(const char* name, const section_header& header, bool extractable) override {
    section(name, "file", header);
    json_.member("extractable", extractable);
    json_.close();
  }

  object_section_visitor& objects(const section_header& header) override {
    section("", "objects", header);
    part_ = part::none;
    return *this;
  }

  void counts(const object_section_counts& counts) override {
    version_ = counts.version;
    json_.member("version", version_name(counts.version));
    open_part(part::images);
  }

  void image(uint32_t index, const image_entry_head& head, const char* file_name) override {
    json_.open('{');
    json_.member("image", "IMAGE" + std::to_string(index));
    json_.member("file_name", file_name);
    json_.member("x_frames", head.x_frames);
    json_.member("y_frames", head.y_frames);
    json_.member("animation_time", head.animation_time);
    double loop = loop_time_seconds(head.animation_time);
    json_.key("loop_time");
    json_.decimal(loop, 3);
    json_.key("frame_time");
    json_.decimal(frame_time_seconds(loop, head.x_frames, head.y_frames), 3);
    json_.close();
  }

  void object(const object_record& record) override {
    open_part(record.is_map ? part::map_objects : part::screen_objects);
    object_text t = describe_object(record, version_);
    json_.open('{');
    json_.member("x", t.x);
    json_.member("y", t.y);
    json_.member("image", t.image);
    json_.member("layer", t.layer);
    json_.member("mode", t.mode);
    json_.member("display_time", t.display_time);
    json_.member("object_number", t.object_number);
    json_.close();
  }

  void objects_read() override {
    open_part(part::screen_objects);
    json_.close();  // the last list
    json_.close();  // the section
  }

  void totals(uint32_t sections, uint64_t full_size, uint64_t stored_size) override {
    json_.close_to(1);
    json_.key("totals");
    json_.open('{');
    json_.member("sections", sections);
    json_.member("full_size", full_size);
    json_.member("stored_size", stored_size);
    json_.key("percent");
    json_.number(percent_text(full_size, stored_size));
    json_.close();
  }

  void end(unpack_status status) override {
    if (json_.depth() == 0) open_document();  // the run stopped before the first section
    json_.close_to(1);
    json_.member("status", static_cast<int>(status));
    json_.close();
  }

 private:
  // The lists of an object section, in the order they are written.
  enum class part { none, images, map_objects, screen_objects };

  void open_document() {
    json_.open('{');
    json_.member("container", container_name_);
    json_.key("sections");
    json_.open('[');
  }

  // What every section has; the section's object stays open.
  void section(const char* name, const char* kind, const section_header& header) {
    json_.open('{');
    json_.member("name", name);
    json_.member("kind", kind);
    json_.member("full_size", header.full_size);
    json_.member("stored_size", header.stored_size);
    json_.member("compressed", !is_raw_section(header));
    json_.key("percent");
    json_.number(percent_text(header.full_size, header.stored_size));
    json_.member("time", header.time);
    json_.member("time_iso", clock_text(header.time, 'T'));
  }

  // Closes the lists before next and opens those up to it, empty ones included.
  void open_part(part next) {
    static const char* const names[] = {"", "images", "map_objects", "screen_objects"};
    while (part_ < next) {
      if (part_ != part::none) json_.close();
      part_ = static_cast<part>(static_cast<int>(part_) + 1);
      json_.key(names[static_cast<int>(part_)]);
      json_.open('[');
    }
  }

  json_writer json_;
  const char* container_name_;
  part part_ = part::none;
  object_version version_ = object_version::v2;
};

}  // namespace

std::unique_ptr<section_listing> make_text_listing(FILE* out) { return std::make_unique<text_listing>(out); }

std::unique_ptr<section_listing> make_json_listing(FILE* out, const char* container_name) {
  return std::make_unique<json_listing>(out, container_name);
}

std::string count_text(uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}
