#include "actions/chars/Lorem.h"

#include <array>

namespace lexorra {
namespace {

// Latin-like placeholder words, all lower-case ASCII so a sentence can capitalise its first byte.
constexpr std::array<std::string_view, 249> wordList = {
    "ab", "accusamus", "accusantium", "ad", "adipisci", "alias", "aliquam", "aliquid", "amet", "animi", "aperiam",
    "architecto", "asperiores", "aspernatur", "assumenda", "at", "atque", "aut", "autem", "beatae", "blanditiis",
    "commodi", "consectetur", "consequatur", "consequuntur", "corporis", "corrupti", "culpa", "cum", "cumque",
    "cupiditate", "debitis", "delectus", "deleniti", "deserunt", "dicta", "dignissimos", "distinctio", "dolor",
    "dolore", "dolorem", "doloremque", "dolores", "doloribus", "dolorum", "ducimus", "ea", "eaque", "earum", "eius",
    "eligendi", "enim", "eos", "error", "esse", "est", "et", "eum", "eveniet", "ex", "excepturi", "exercitationem",
    "expedita", "explicabo", "facere", "facilis", "fuga", "fugiat", "fugit", "harum", "hic", "id", "illo", "illum",
    "impedit", "in", "incidunt", "inventore", "ipsa", "ipsam", "ipsum", "iste", "itaque", "iure", "iusto", "labore",
    "laboriosam", "laborum", "laudantium", "libero", "magnam", "magni", "maiores", "maxime", "minima", "minus",
    "modi", "molestiae", "molestias", "mollitia", "nam", "natus", "necessitatibus", "nemo", "neque", "nesciunt",
    "nihil", "nisi", "nobis", "non", "nostrum", "nulla", "numquam", "obcaecati", "odio", "odit", "officia",
    "officiis", "omnis", "optio", "pariatur", "perferendis", "perspiciatis", "placeat", "porro", "possimus",
    "praesentium", "provident", "quae", "quaerat", "quam", "quas", "quasi", "qui", "quia", "quibusdam", "quidem",
    "quis", "quisquam", "quo", "quod", "quos", "ratione", "recusandae", "reiciendis", "rem", "repellat",
    "repellendus", "reprehenderit", "repudiandae", "rerum", "saepe", "sapiente", "sed", "sequi", "similique",
    "sint", "sit", "soluta", "sunt", "suscipit", "tempora", "tempore", "temporibus", "tenetur", "totam", "ullam",
    "unde", "ut", "vel", "velit", "veniam", "veritatis", "vero", "vitae", "voluptas", "voluptate", "voluptatem",
    "voluptates", "voluptatibus", "voluptatum", "adipiscing", "aliqua", "anim", "aute", "cillum", "commodo",
    "consequat", "cupidatat", "do", "duis", "eiusmod", "elit", "exercitation", "incididunt", "irure", "laboris",
    "magna", "mollit", "nostrud", "occaecat", "proident", "tempor", "ullamco", "lorem", "nonummy", "nibh",
    "euismod", "tincidunt", "laoreet", "volutpat", "wisi", "erat", "minim", "tation", "ullamcorper", "lobortis",
    "hendrerit", "vulputate", "feugiat", "facilisis", "eros", "accumsan", "dignissim", "blandit", "praesent",
    "luptatum", "zzril", "delenit", "augue", "feugait", "facilisi", "liber", "eleifend", "congue", "imperdiet",
    "doming", "mazim", "placerat", "facer", "possim", "assum", "typi", "claritatem", "investigationes",
    "demonstraverunt", "lectores", "legere", "lius"
};

constexpr std::array<std::string_view, 251> firstNameList = {
    "James", "Mary", "Robert", "Patricia", "John", "Jennifer", "Michael", "Linda", "David", "Elizabeth", "William",
    "Barbara", "Richard", "Susan", "Joseph", "Jessica", "Thomas", "Sarah", "Charles", "Karen", "Christopher",
    "Lisa", "Daniel", "Nancy", "Matthew", "Betty", "Anthony", "Margaret", "Mark", "Sandra", "Donald", "Ashley",
    "Steven", "Kimberly", "Paul", "Emily", "Andrew", "Donna", "Joshua", "Michelle", "Kenneth", "Carol", "Kevin",
    "Amanda", "Brian", "Dorothy", "George", "Melissa", "Timothy", "Deborah", "Ronald", "Stephanie", "Edward",
    "Rebecca", "Jason", "Sharon", "Jeffrey", "Laura", "Ryan", "Cynthia", "Jacob", "Kathleen", "Gary", "Amy",
    "Nicholas", "Angela", "Eric", "Shirley", "Jonathan", "Anna", "Stephen", "Brenda", "Larry", "Pamela", "Justin",
    "Emma", "Scott", "Nicole", "Brandon", "Helen", "Benjamin", "Samantha", "Samuel", "Katherine", "Gregory",
    "Christine", "Alexander", "Debra", "Frank", "Rachel", "Patrick", "Carolyn", "Raymond", "Janet", "Jack",
    "Catherine", "Dennis", "Maria", "Jerry", "Heather", "Tyler", "Diane", "Aaron", "Ruth", "Jose", "Julie", "Adam",
    "Olivia", "Nathan", "Joyce", "Henry", "Virginia", "Douglas", "Victoria", "Zachary", "Kelly", "Peter", "Lauren",
    "Kyle", "Christina", "Ethan", "Joan", "Walter", "Evelyn", "Noah", "Judith", "Jeremy", "Megan", "Christian",
    "Andrea", "Keith", "Cheryl", "Roger", "Hannah", "Terry", "Jacqueline", "Gerald", "Martha", "Harold", "Gloria",
    "Sean", "Teresa", "Austin", "Ann", "Carl", "Sara", "Arthur", "Madison", "Lawrence", "Frances", "Dylan",
    "Kathryn", "Jesse", "Janice", "Jordan", "Jean", "Bryan", "Abigail", "Billy", "Alice", "Joe", "Judy", "Bruce",
    "Sophia", "Gabriel", "Grace", "Logan", "Denise", "Albert", "Amber", "Willie", "Doris", "Alan", "Marilyn",
    "Juan", "Danielle", "Wayne", "Beverly", "Elijah", "Isabella", "Randy", "Theresa", "Roy", "Diana", "Vincent",
    "Natalie", "Ralph", "Brittany", "Eugene", "Charlotte", "Russell", "Marie", "Bobby", "Kayla", "Mason", "Alexis",
    "Philip", "Lori", "Louis", "Oliver", "Liam", "Lucas", "Leo", "Felix", "Hugo", "Oscar", "Max", "Theo", "Milo",
    "Jasper", "Silas", "Ezra", "Ivy", "Luna", "Clara", "Stella", "Hazel", "Violet", "Aurora", "Nora", "Iris",
    "Mila", "Elena", "Ines", "Lea", "Maya", "Zoe", "Chloe", "Lily", "Ava", "Mia", "Eva", "Nina", "Rosa", "Vera",
    "Ida", "Alma", "Edith", "Greta", "Ingrid", "Astrid", "Freya", "Sienna", "Paloma", "Amara", "Leila", "Yara",
    "Noor", "Aisha", "Hana", "Mei"
};

constexpr std::array<std::string_view, 249> lastNameList = {
    "Smith", "Johnson", "Williams", "Brown", "Jones", "Garcia", "Miller", "Davis", "Rodriguez", "Martinez",
    "Hernandez", "Lopez", "Gonzalez", "Wilson", "Anderson", "Thomas", "Taylor", "Moore", "Jackson", "Martin", "Lee",
    "Perez", "Thompson", "White", "Harris", "Sanchez", "Clark", "Ramirez", "Lewis", "Robinson", "Walker", "Young",
    "Allen", "King", "Wright", "Scott", "Torres", "Nguyen", "Hill", "Flores", "Green", "Adams", "Nelson", "Baker",
    "Hall", "Rivera", "Campbell", "Mitchell", "Carter", "Roberts", "Gomez", "Phillips", "Evans", "Turner", "Diaz",
    "Parker", "Cruz", "Edwards", "Collins", "Reyes", "Stewart", "Morris", "Morales", "Murphy", "Cook", "Rogers",
    "Gutierrez", "Ortiz", "Morgan", "Cooper", "Peterson", "Bailey", "Reed", "Kelly", "Howard", "Ramos", "Kim",
    "Cox", "Ward", "Richardson", "Watson", "Brooks", "Chavez", "Wood", "James", "Bennett", "Gray", "Mendoza",
    "Ruiz", "Hughes", "Price", "Alvarez", "Castillo", "Sanders", "Patel", "Myers", "Long", "Ross", "Foster",
    "Jimenez", "Powell", "Jenkins", "Perry", "Russell", "Sullivan", "Bell", "Coleman", "Butler", "Henderson",
    "Barnes", "Gonzales", "Fisher", "Vasquez", "Simmons", "Romero", "Jordan", "Patterson", "Alexander", "Hamilton",
    "Graham", "Reynolds", "Griffin", "Wallace", "Moreno", "West", "Cole", "Hayes", "Bryant", "Herrera", "Gibson",
    "Ellis", "Tran", "Medina", "Aguilar", "Stevens", "Murray", "Ford", "Castro", "Marshall", "Owens", "Harrison",
    "Fernandez", "McDonald", "Woods", "Washington", "Kennedy", "Wells", "Vargas", "Henry", "Chen", "Freeman",
    "Webb", "Tucker", "Guzman", "Burns", "Crawford", "Olson", "Simpson", "Porter", "Hunter", "Gordon", "Mendez",
    "Silva", "Shaw", "Snyder", "Mason", "Dixon", "Munoz", "Hunt", "Hicks", "Holmes", "Palmer", "Wagner", "Black",
    "Robertson", "Boyd", "Rose", "Stone", "Salazar", "Fox", "Warren", "Mills", "Meyer", "Rice", "Schmidt", "Garza",
    "Daniels", "Ferguson", "Nichols", "Stephens", "Soto", "Weaver", "Ryan", "Gardner", "Payne", "Grant", "Dunn",
    "Kelley", "Spencer", "Hawkins", "Arnold", "Pierce", "Vazquez", "Hansen", "Peters", "Santos", "Hart", "Bradley",
    "Knight", "Elliott", "Cunningham", "Duncan", "Armstrong", "Hudson", "Carroll", "Lane", "Riley", "Andrews",
    "Alvarado", "Ray", "Delgado", "Berry", "Perkins", "Hoffman", "Johnston", "Matthews", "Pena", "Richards",
    "Contreras", "Willis", "Carpenter", "Lawrence", "Sandoval", "Guerrero", "George", "Chapman", "Rios", "Estrada",
    "Ortega", "Watkins", "Greene", "Nunez", "Wheeler", "Valdez", "Harper", "Burke", "Larson", "Santiago",
    "Maldonado"
};

} // namespace

std::span<const std::string_view> Lorem::words() { return wordList; }
std::span<const std::string_view> Lorem::firstNames() { return firstNameList; }
std::span<const std::string_view> Lorem::lastNames() { return lastNameList; }

} // namespace lexorra
