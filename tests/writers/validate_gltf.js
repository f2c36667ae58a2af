// Runs the Khronos glTF validator over one .glb and prints its report's issue counts and
// messages as JSON. Usage: node validate_gltf.js VALIDATOR_MODULE_DIR FILE.glb
const fs = require('fs');
const validator = require(process.argv[2]);

const bytes = new Uint8Array(fs.readFileSync(process.argv[3]));
validator.validateBytes(bytes, {maxIssues: 100})
    .then((report) => {
      console.log(JSON.stringify({
        errors: report.issues.numErrors,
        warnings: report.issues.numWarnings,
        infos: report.issues.numInfos,
        messages: report.issues.messages.map((m) => `${m.code} ${m.pointer || ''}: ${m.message}`),
      }));
    })
    .catch((error) => {
      console.error(`validator failed: ${error}`);
      process.exit(1);
    });
