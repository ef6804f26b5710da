#include "dispatch.h"

#include "procedures.h"

namespace engine {

namespace {

bool unknownWholeOrCut(uint16_t seriesKind) {
    return seriesKind == 4 || seriesKind == 8;
}

}  // namespace

Procedure procedureFor(uint16_t taskKind, uint16_t seriesKind) {
    switch (taskKind) {
        case 2:
            return unknownWholeOrCut(seriesKind) ? Procedure::RecognizeUnknownNumber
                                                 : Procedure::RecognizeKnownNumber;
        case 36:
            return series::isUnknownNumberKind(seriesKind) ? Procedure::DetectTuplesUnknownNumber
                                                           : Procedure::DetectTuplesKnownNumber;
        case 40:
            return series::isUnknownNumberKind(seriesKind) ? Procedure::TuplesDetection
                                                           : Procedure::RecognizeTuplesKnownNumber;
        default:
            return unknownWholeOrCut(seriesKind) ? Procedure::DetectUnknownNumber
                                                 : Procedure::DetectKnownNumber;
    }
}

const char* procedureName(Procedure procedure) {
    switch (procedure) {
        case Procedure::DetectUnknownNumber:
            return "detectUnknownNumber";
        case Procedure::DetectKnownNumber:
            return "detectKnownNumber";
        case Procedure::RecognizeKnownNumber:
            return "recognizeKnownNumber";
        case Procedure::RecognizeUnknownNumber:
            return "recognizeUnknownNumber";
        case Procedure::DetectTuplesKnownNumber:
            return "detectTuplesKnownNumber";
        case Procedure::DetectTuplesUnknownNumber:
            return "detectTuplesUnknownNumber";
        case Procedure::RecognizeTuplesKnownNumber:
            return "recognizeTuplesKnownNumber";
        case Procedure::TuplesDetection:
            return "TuplesDetection";
    }
    return "";
}

ProcessingOutcome runProcedure(platform::Window& window, uint16_t taskKind, uint16_t seriesKind,
                               const ProcessingInput& in, ChainsHeader& chains,
                               series::SeriesHeader& header) {
    static const series::Alphabet kNoAlphabet;
    const series::Alphabet& alphabet = in.alphabet ? *in.alphabet : kNoAlphabet;
    ProcessingOutcome out;
    out.procedure = procedureFor(taskKind, seriesKind);
    switch (out.procedure) {
        case Procedure::DetectUnknownNumber:
            out.hasResult = true;
            out.result = detectUnknownNumber(window, alphabet, in.listCount, in.list, in.Tmin,
                                             in.Tmax, in.level, chains, header);
            break;
        case Procedure::DetectKnownNumber:
            out.hasResult = true;
            out.result = detectKnownNumber(window, alphabet, in.listCount, in.list, in.Tmin,
                                           in.Tmax, in.level, chains, header);
            break;
        case Procedure::RecognizeKnownNumber:
            out.hasResult = true;
            out.result = recognizeKnownNumber(window, alphabet, in.listCount, in.list, in.Tmin,
                                              in.Tmax, in.level, chains, header);
            break;
        case Procedure::RecognizeUnknownNumber:
            recognizeUnknownNumber(window, alphabet, in.listCount, in.list, in.Tmin, in.Tmax,
                                   in.level, chains, header);
            break;
        case Procedure::DetectTuplesKnownNumber:
            detectTuplesKnownNumber(window, alphabet, in.subsetCount, in.subset, in.proceeding,
                                    in.Tmin, in.Tmax, in.level, chains, header, in.debugRepeat);
            break;
        case Procedure::DetectTuplesUnknownNumber:
            detectTuplesUnknownNumber(window, alphabet, in.subsetCount, in.subset, in.proceeding,
                                      in.Tmin, in.Tmax, in.level, chains, header, in.debugRepeat);
            break;
        case Procedure::RecognizeTuplesKnownNumber:
            recognizeTuplesKnownNumber(window, alphabet, in.tupleLengths, in.tupleLists,
                                       in.tupleCount, in.proceeding, in.Tmin, in.Tmax, in.level,
                                       chains, header, in.debugRepeat);
            break;
        case Procedure::TuplesDetection:
            out.hasResult = true;
            out.result = TuplesDetection(window, alphabet, in.tupleLengths, in.tupleLists,
                                         in.tupleCount, in.proceeding, in.Tmin, in.Tmax, in.level,
                                         &chains, header, in.debugRepeat);
            break;
    }
    return out;
}

}  // namespace engine
