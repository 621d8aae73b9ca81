* A cadeia do tradutor: SE, SENÃO, SE, SENÃO, SE e um único FIM SE.
* Só uma parte roda em cada chamada.
repete $opcao 4
  chama @escolhe
fim repete
* SE de uma linha: só desvia quando o texto está vazio.
seja $texto ""
se $texto = "" desvia @vazio
escreve "nunca"
@vazio
escreve "pulou"
seja $texto "olá"
se $texto = "" desvia @vazio
escreve "não pulou"
termina
@escolhe
se $opcao = 1
  escreve "frase"
senão
  se $opcao = 2
    escreve "arquivo"
  SENAO
    se $opcao = 3
      escreve "área de transferência"
fim se
escreve "depois da cadeia " $opcao
retorna
