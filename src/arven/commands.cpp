// The subcommands: load the model, compute, write tables and pictures, and
// turn every failure into one line on the error stream.
#include "arven/commands.hpp"

#include <exception>
#include <functional>

#include "arven/batch.hpp"
#include "arven/dating.hpp"
#include "arven/map.hpp"
#include "arven/output.hpp"
#include "arven/svg.hpp"
#include "textio/textio.hpp"

namespace arven {
namespace {

// Runs one command body; whatever escapes it becomes one line on `err`.
int guarded(std::ostream& err, const std::function<int()>& body) {
    try {
        return body();
    } catch (const Error& e) {
        err << "arven: error: " << e.what() << "\n";
    } catch (const textio::RunEnd& end) {
        err << "arven: error: the model computation ended";
        if (end.failure) err << ": " << end.operation << " of '" << end.file_name << "': " << end.description;
        err << "\n";
    } catch (const std::exception& e) {
        err << "arven: error: " << e.what() << "\n";
    }
    return EXIT_FAILURE_ONE_LINE;
}

Model load_model(const CommonOptions& common) {
    return Model::load(resolve_coefficient_file(common.coef, common.bundled_coef));
}

// The table goes to --out when given, else to `out`.
void emit(const CommonOptions& common, const std::string& text, std::ostream& out) {
    if (common.out.empty()) {
        out << text;
    } else {
        write_text_file(common.out, text);
    }
}

double required(const std::optional<double>& value, const char* name) {
    if (!value) throw Error(std::string("date needs ") + name + " (or --batch FILE)");
    return *value;
}

}  // namespace

int curve_command(const CommonOptions& common, const CurveOptions& options, std::ostream& out, std::ostream& err) {
    return guarded(err, [&] {
        const CurveFormat format = curve_format(options.format);
        if (format == CurveFormat::Chronomodel && common.out.empty()) {
            throw Error("--format chronomodel writes two files (declination and inclination); "
                        "give their base name with --out");
        }
        EpochRange range = options.range;
        if (format == CurveFormat::Chronomodel && !options.step_given) range.step = 1.0;
        const std::vector<double> epochs = epochs_of(range);
        const Site site = make_site(options.lat, options.lon);
        const Model model = load_model(common);
        const Provenance provenance = provenance_of(model, common.command_line);
        const std::vector<Direction> curve = curve_at(site, epoch_table(model, epochs));
        switch (format) {
            case CurveFormat::Csv:
                emit(common, curve_csv(provenance, site, curve), out);
                break;
            case CurveFormat::Magic:
                emit(common, curve_magic(provenance, site, curve), out);
                break;
            case CurveFormat::Chronomodel: {
                const std::vector<std::string> names = chronomodel_file_names(common.out);
                write_text_file(names[0], curve_chronomodel(provenance, site, curve, "dec"));
                write_text_file(names[1], curve_chronomodel(provenance, site, curve, "inc"));
                break;
            }
        }
        if (!common.svg.empty()) write_text_file(common.svg, curve_svg(provenance, site, curve));
        return EXIT_OK;
    });
}

int date_command(const CommonOptions& common, const DateOptions& options, std::ostream& out, std::ostream& err) {
    return guarded(err, [&] {
        if (!options.batch.empty()) {
            if (options.lat || options.lon || options.dec || options.inc || options.a95) {
                throw Error("--batch takes the samples from its file; leave out --lat, --lon, --dec, --inc, --a95");
            }
            if (!common.svg.empty()) throw Error("--svg draws one sample; it does not go with --batch");
            epochs_of(options.range);
            const std::string text = read_text_file(options.batch);
            const Model model = load_model(common);
            const BatchInput input = parse_batch(text);
            const BatchOutput result =
                run_batch(model, options.range, input, provenance_of(model, common.command_line));
            emit(common, result.text, out);
            for (const BatchProblem& p : result.problems) {
                err << "arven: " << options.batch << ":" << p.line << ": row skipped: " << p.message << "\n";
            }
            return result.problems.empty() ? EXIT_OK : EXIT_ROWS_SKIPPED;
        }
        const Measurement m{required(options.dec, "--dec"), required(options.inc, "--inc"),
                            required(options.a95, "--a95")};
        const double lat = required(options.lat, "--lat");
        const double lon = required(options.lon, "--lon");
        check_measurement(m);
        const std::vector<double> epochs = epochs_of(options.range);
        if (epochs.size() < 2) throw Error("dating needs a range of at least two epochs");
        const Site site = make_site(lat, lon);
        const Model model = load_model(common);
        const Provenance provenance = provenance_of(model, common.command_line);
        const std::vector<Direction> curve = curve_at(site, epoch_table(model, epochs));
        const DatingResult result = date_measurement(curve, m);
        if (!common.out.empty()) write_text_file(common.out, density_csv(provenance, site, m, curve, result));
        if (!common.svg.empty()) write_text_file(common.svg, dating_svg(provenance, site, m, curve, result));
        out << dating_summary(site, m, result);
        return EXIT_OK;
    });
}

int map_command(const CommonOptions& common, const MapOptions& options, std::ostream& out, std::ostream& err) {
    return guarded(err, [&] {
        const Model model = load_model(common);
        const Provenance provenance = provenance_of(model, common.command_line);
        const FieldMap map = field_map(model, options.epoch, options.spacing);
        if (!common.svg.empty()) {
            write_text_file(common.svg, map_svg(provenance, map));
            if (!common.out.empty()) write_text_file(common.out, map_csv(provenance, map));
        } else {
            emit(common, map_csv(provenance, map), out);
        }
        return EXIT_OK;
    });
}

}  // namespace arven
