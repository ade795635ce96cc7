// SPDX-License-Identifier: MIT
#include "cli/result_output.h"

#include <sstream>
#include <string_view>

#include "app/window_state.h"
#include "base/text_format.h"

namespace bx::cli {
namespace {

nlohmann::ordered_json treatmentJson(const Field& reps, const Field& mean, const Field& sd,
                                     const Field& transMean, const Field& transSd) {
    nlohmann::ordered_json j;
    j["reps"] = reps.text;
    j["mean"] = mean.text;
    j["sd"] = sd.text;
    j["transform_mean"] = transMean.text;
    j["transform_sd"] = transSd.text;
    return j;
}

nlohmann::ordered_json transformColumn(const Grid& grid) {
    nlohmann::ordered_json texts = nlohmann::ordered_json::array();
    for (int row = 1; row < Grid::kRows; ++row) {
        texts.push_back(grid.cell(row, Grid::kTransformCol));
    }
    return texts;
}

// One panel of the readable layout. Hidden fields are left out, as the window leaves them out.
class PanelWriter {
  public:
    explicit PanelWriter(std::ostringstream& out) : out_(out) {}

    void heading(std::string_view caption, Picture picture) {
        if (out_.tellp() > 0) {
            out_ << '\n';
        }
        out_ << caption;
        if (picture != Picture::None) {
            out_ << "  [" << pictureKey(picture) << ']';
        }
        out_ << '\n';
    }

    void field(std::string_view label, const Field& f) {
        if (!f.visible) {
            return;
        }
        constexpr std::size_t kLabelWidth = 26;
        out_ << "  " << label;
        if (!f.text.empty()) {
            for (std::size_t i = label.size(); i < kLabelWidth; ++i) {
                out_ << ' ';
            }
            out_ << f.text;
        }
        out_ << '\n';
    }

  private:
    std::ostringstream& out_;
};

}  // namespace

std::vector<std::string> statusLines(const std::string& status) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t pos = status.find("\r\n", start);
        lines.push_back(status.substr(start, pos - start));
        if (pos == std::string::npos) {
            break;
        }
        start = pos + 2;
    }
    return lines;
}

nlohmann::ordered_json resultJson(const WindowState& ui) {
    nlohmann::ordered_json j;
    j["status"] = statusLines(ui.Status);
    j["test_treatment"] = treatmentJson(ui.txtSampNum, ui.txtSampMean, ui.txtSampStdDev,
                                        ui.txtSampTransMean, ui.txtSampTransStdDev);
    j["reference_treatment"] = treatmentJson(ui.txtRefNum, ui.txtRefMean, ui.txtRefStdDev,
                                             ui.txtRefTransMean, ui.txtRefTransStdDev);

    nlohmann::ordered_json normality;
    normality["w"] = ui.txtWtestW.text;
    normality["critical"] = ui.txtWtestCritVal.text;
    normality["alpha"] = ui.txtWTestAlpha.text;
    normality["normal"] = ui.txtWTestPassFail.text;
    normality["override"] = ui.txtOverride.text;
    j["normality"] = std::move(normality);

    nlohmann::ordered_json sced;
    sced["t"] = ui.txtScedCalcVal.text;
    sced["critical"] = ui.txtScedCritVal.text;
    sced["alpha"] = ui.txtScedAlpha.text;
    sced["homoscedastic"] = ui.txtScedPassfail.text;
    sced["df"] = ui.txtScedDegFreedom.text;
    j["homoscedasticity"] = std::move(sced);

    nlohmann::ordered_json hypothesis;
    hypothesis["statistic"] = ui.txtTstStat.text;
    hypothesis["value"] = ui.txtTstCalcStat.text;
    hypothesis["critical"] = ui.txtTstCritVal.text;
    hypothesis["alpha"] = ui.txtTstAlpha.text;
    hypothesis["df"] = ui.txtTstDegFreedom.text;
    hypothesis["accept_null"] = ui.txtTstPassFail.text;
    hypothesis["transform"] = ui.txtTstTransMeth.text;
    hypothesis["balanced"] = ui.txtTstBalanced.text;
    hypothesis["power"] = ui.txtTstPower.text;
    j["hypothesis"] = std::move(hypothesis);

    nlohmann::ordered_json pictures;
    pictures["normality"] = pictureKey(ui.imgWtestPassFail);
    pictures["homoscedasticity"] = pictureKey(ui.imgSced);
    pictures["hypothesis"] = pictureKey(ui.imgTestPassFail);
    j["pictures"] = std::move(pictures);

    nlohmann::ordered_json column;
    column["test"] = transformColumn(ui.Grid1);
    column["reference"] = transformColumn(ui.Grid2);
    j["transform_column"] = std::move(column);
    return j;
}

std::string resultJsonText(const WindowState& ui, nlohmann::ordered_json result) {
    nlohmann::ordered_json j = resultJson(ui);
    j["result"] = std::move(result);
    return j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string readableResults(const WindowState& ui) {
    std::ostringstream out;
    PanelWriter panel(out);

    panel.heading("Test Treatment", Picture::None);
    panel.field("Number of Reps:", ui.txtSampNum);
    panel.field("Test Mean:", ui.txtSampMean);
    panel.field("Test SD:", ui.txtSampStdDev);
    panel.field("Transform Mean:", ui.txtSampTransMean);
    panel.field("Transform SD:", ui.txtSampTransStdDev);

    panel.heading("Reference Treatment", Picture::None);
    panel.field("Number of Reps:", ui.txtRefNum);
    panel.field("Reference Mean:", ui.txtRefMean);
    panel.field("Reference SD:", ui.txtRefStdDev);
    panel.field("Transform Mean:", ui.txtRefTransMean);
    panel.field("Transform SD:", ui.txtRefTransStdDev);

    panel.heading("Normality (Shapiro-Wilk)", ui.imgWtestPassFail);
    panel.field("Calculated W Value:", ui.txtWtestW);
    panel.field("Critical W Value:", ui.txtWtestCritVal);
    panel.field("Alpha:", ui.txtWTestAlpha);
    panel.field("Normal:", ui.txtWTestPassFail);
    panel.field("Override:", ui.txtOverride);

    panel.heading("Homoscedasticity (Levene's)", ui.imgSced);
    panel.field("Calculated Student's t:", ui.txtScedCalcVal);
    panel.field("Critical Student's t:", ui.txtScedCritVal);
    panel.field("Alpha:", ui.txtScedAlpha);
    panel.field("Homoscedastic:", ui.txtScedPassfail);
    panel.field("df:", ui.txtScedDegFreedom);

    panel.heading("Test of Experimental Hypothesis", ui.imgTestPassFail);
    panel.field("Statistic:", ui.txtTstStat);
    panel.field("Calculated Statistic:", ui.txtTstCalcStat);
    panel.field("Critical Value:", ui.txtTstCritVal);
    panel.field("Alpha Level:", ui.txtTstAlpha);
    panel.field("df:", ui.txtTstDegFreedom);
    panel.field("Accept Null Hypothesis:", ui.txtTstPassFail);
    panel.field("Transform Type:", ui.txtTstTransMeth);
    panel.field("Balanced Design:", ui.txtTstBalanced);
    panel.field("Power:", ui.txtTstPower);

    out << "\nMessages\n";
    const std::vector<std::string> lines = statusLines(ui.Status);
    // The list's first line is the empty line before the first message.
    for (std::size_t i = lines.empty() ? 0 : 1; i < lines.size(); ++i) {
        out << "  " << lines[i] << '\n';
    }
    return out.str();
}

}  // namespace bx::cli
